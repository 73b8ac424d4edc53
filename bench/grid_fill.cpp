// From a filled download buffer to the filled data grid: the Downloaded data
// window's activation for a full logger memory (goal: under 50 ms for 2000
// samples) and its cost per sample as the download grows.
#include "data/download_buffer.h"
#include "data/form5.h"
#include "data/string_grid.h"

#include <benchmark/benchmark.h>

#include <QApplication>

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
    return 0;
}
