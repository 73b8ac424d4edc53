// The Chart window with a full logger memory, 8 channels x 2000 samples, at
// the window's size: the fill from the grid's texts plus the first paint
// (goal: under 100 ms), and one repaint while zooming or scrolling (goal:
// under 33 ms, a frame at 30 per second).
#include "bench/report.h"
#include "chart/chart.h"
#include "chart/line_series.h"
#include "platform/formats.h"
#include "windows/form6.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Samples = 2000;

// Grid texts as the Downloaded data window writes them, column-major.
const std::vector<QString>& gridTexts()
{
    static std::vector<QString> texts = [] {
        std::vector<QString> t(static_cast<size_t>(8 * Samples));
        for (int k = 1; k <= 8; ++k)
            for (int r = 1; r <= Samples; ++r)
                t[static_cast<size_t>((k - 1) * Samples + r - 1)] =
                    FloatToStrFixed(18 + 3 * k + 4 * std::sin(r / (40.0 + 9 * k)) + 0.1 * (r % 5), 4, 1);
        return t;
    }();
    return texts;
}

void feed(TForm6& form)
{
    form.SetSources([] { return Samples + 3; },
        [](int col, int row) { return gridTexts()[static_cast<size_t>((col - 3) * Samples + row - 1)]; });
}

// What the screen does on a repaint: the chart drawn into its buffer.
void paint(const TChart& chart, QPixmap& buffer)
{
    QPainter p(&buffer);
    chart.Draw(p, chart.rect());
}

void FillAndFirstPaint(benchmark::State& state)
{
    UseLoggerFormats();
    TForm6 form;
    feed(form);
    QPixmap buffer(form.Chart1->size());
    for (auto _ : state) {
        form.FormActivate();
        paint(*form.Chart1, buffer);
    }
    if (form.Chart1->Series(7)->Count() != Samples)
        state.SkipWithError("series not filled");
}
BENCHMARK(FillAndFirstPaint)->Unit(benchmark::kMillisecond);

void FillOnly(benchmark::State& state)
{
    UseLoggerFormats();
    TForm6 form;
    feed(form);
    for (auto _ : state)
        form.FormActivate();
}
BENCHMARK(FillOnly)->Unit(benchmark::kMillisecond);

// Full view, zoomed to a tenth, and zoomed in to a few dozen samples.
void RepaintWhileScrolling(benchmark::State& state)
{
    UseLoggerFormats();
    TForm6 form;
    feed(form);
    form.FormActivate();
    TChart& chart = *form.Chart1;
    double width = Samples / std::pow(10.0, static_cast<double>(state.range(0)));
    chart.BottomAxis().SetMinMax(500, 500 + width);
    chart.LeftAxis().SetMinMax(15, 48);
    QPixmap buffer(chart.size());
    int step = 1;
    for (auto _ : state) {
        chart.Scroll(step, 0);
        step = -step;
        paint(chart, buffer);
    }
}
BENCHMARK(RepaintWhileScrolling)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Single timings in the project's report form.
void report()
{
    UseLoggerFormats();
    TForm6 form;
    feed(form);
    QPixmap buffer(form.Chart1->size());
    std::vector<double> fill, first, repaint;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        form.FormActivate();
        double f = t.nsecsElapsed() / 1e6;
        paint(*form.Chart1, buffer);
        fill.push_back(f);
        first.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        form.Chart1->Scroll(3, 2);
        paint(*form.Chart1, buffer);
        repaint.push_back(t.nsecsElapsed() / 1e6);
        form.Chart1->UndoZoom();
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    ReportFigure("chart: fill of 8 x 2000 points (median)", median(fill), "ms", "714 x 454 chart");
    ReportFigure("chart: fill + first paint (median)", median(first), "ms", "goal 100 ms");
    ReportFigure("chart: repaint while scrolling (median)", median(repaint), "ms", "goal 33 ms");
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    report();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
