// From a filled download buffer to the filled data grid: the Downloaded data
// window's activation for a full logger memory (goal: under 50 ms for 2000
// samples) and its cost per sample as the download grows.
#include "bench/report.h"
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "toolkit/string_grid.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdlib>

namespace {

QByteArray downloadText(int samples)
{
    QByteArray text = "H24/05/17 30:15:08  2\r\n";
    for (int r = 0; r < samples; ++r) {
        QByteArray line;
        for (int k = 0; k < 8; ++k) {
            const int raw = 500 + (r * 7 + k * 31) % 1200;
            line += QByteArray::number(1000 + raw / 256).right(3) + QByteArray::number(1000 + raw % 256).right(3);
        }
        text += line + "\r\n";
    }
    return text + "\r\nA";
}

void FillGrid(benchmark::State& state)
{
    const int samples = static_cast<int>(state.range(0));
    TDownloadBuffer buffer;
    const QByteArray text = downloadText(samples);
    // Chunks of the size a 115200 baud line delivers between notifications.
    for (qsizetype at = 0; at < text.size(); at += 256)
        buffer.Append(text.mid(at, 256));
    TForm5 form;
    form.SetDownloadBuffer(&buffer);
    for (auto _ : state) {
        form.FormActivate();
        benchmark::DoNotOptimize(form.StringGrid1->Cells(10, samples));
    }
    if (form.StringGrid1->Cells(10, samples).isEmpty())
        state.SkipWithError("grid not filled");
    state.SetItemsProcessed(state.iterations() * samples);
    // Seconds per sample; flat across the sizes when the fill is linear.
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(samples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(FillGrid)->Arg(500)->Arg(2000)->Arg(8000)->Arg(32000)->Arg(64000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // The same fill once more per size, for the report table.
    double perSample2000 = 0;
    for (int samples : {500, 2000, 8000, 32000, 64000}) {
        TDownloadBuffer buffer;
        buffer.Append(downloadText(samples));
        TForm5 form;
        form.SetDownloadBuffer(&buffer);
        form.FormActivate();  // warm-up
        QElapsedTimer t;
        t.start();
        form.FormActivate();
        double ms = t.nsecsElapsed() / 1e6;
        if (samples == 2000) {
            perSample2000 = ms / samples;
            ReportFigure("full memory (2000 samples): end marker to filled grid", ms, "ms", "goal 50 ms");
        }
        ReportFigure("decode + grid fill, N = " + std::to_string(samples) + ", per sample", 1000.0 * ms / samples, "us",
            perSample2000 > 0 ? "N = 2000: " + std::to_string(1000.0 * perSample2000).substr(0, 5) + " us" : "");
    }
    return 0;
}
