#include "plot/report_page.h"

#include "plot/plot_command.h"
#include "plot/plot_options.h"
#include "plot/plot_samples.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <unistd.h>

namespace {

// A4 in points, drawn at 72 per inch.
constexpr double PageWidth = 595, PageHeight = 842, Margin = 42;
constexpr double Width = PageWidth - 2 * Margin;

int fail(PlotExit code, const QString& message)
{
    ReportPlotMessage(message);
    return static_cast<int>(code);
}

// Lines down the page, starting a new page where the next does not fit.
class PageWriter {
public:
    PageWriter(QPdfWriter& pdf, QPainter& p) : pdf_(pdf), p_(p) {}

    void Text(const QString& text, double size, bool bold = false, const QColor& color = Qt::black)
    {
        QFont font(QStringLiteral("Arial"));  // Liberation Sans, as the chart
        font.setPointSizeF(size);
        font.setBold(bold);
        // Unshaped, so "fi" never becomes one glyph that a search of the
        // PDF for "filas" would miss.
        font.setStyleStrategy(QFont::PreferNoShaping);
        p_.setFont(font);
        p_.setPen(color);
        const QRectF box = p_.boundingRect(QRectF(Margin, 0, Width, PageHeight), Qt::TextWordWrap, text);
        Room(box.height());
        p_.drawText(QRectF(Margin, y_, Width, box.height()), Qt::TextWordWrap, text);
        y_ += box.height() + size * 0.25;
    }
    void Space(double points) { y_ += points; }
    void Room(double height)
    {
        if (y_ + height > PageHeight - Margin) {
            pdf_.newPage();
            y_ = Margin;
        }
    }
    double Y() const { return y_; }

private:
    QPdfWriter& pdf_;
    QPainter& p_;
    double y_ = Margin;
};

void drawChart(QPainter& p, const TTimePlot& plot, const QJsonObject& page, double top, double height)
{
    const QSizeF size(1200, 600);
    const double scale = std::min(Width / size.width(), height / size.height());
    p.save();
    p.translate(Margin, top);
    p.scale(scale, scale);
    plot.Draw(p);
    const QRectF area = plot.PlotRect();
    p.setClipRect(area);
    for (const QJsonValue& v : page[QStringLiteral("excursions")].toArray()) {
        const QJsonObject e = v.toObject();
        QColor shade = TimePlotChannelColor(e[QStringLiteral("channel")].toInt());
        shade.setAlpha(60);
        const double x0 = plot.XPixel(qint64(e[QStringLiteral("start")].toDouble()));
        const double x1 = plot.XPixel(qint64(e[QStringLiteral("end")].toDouble()));
        p.fillRect(QRectF(x0, area.top(), std::max(x1 - x0, 1.0), area.height()), shade);
    }
    for (const QJsonValue& v : page[QStringLiteral("limits")].toArray()) {
        const QJsonObject l = v.toObject();
        p.setPen(QPen(TimePlotChannelColor(l[QStringLiteral("channel")].toInt()), 2, Qt::DashLine));
        for (const char* bound : {"low", "high"})
            if (l[QLatin1String(bound)].isDouble()) {
                const double y = plot.YPixel(l[QLatin1String(bound)].toDouble());
                p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
            }
    }
    p.restore();
}

}  // namespace

int RunReport(const QString& pagePath, const QStringList& arguments)
{
    std::variant<PlotRequest, PlotHelp, PlotFailure> parsed = ParsePlotArguments(arguments);
    if (auto* failure = std::get_if<PlotFailure>(&parsed))
        return fail(failure->code, failure->message);
    if (!std::holds_alternative<PlotRequest>(parsed))
        return fail(PlotExit::Usage, PlotText::tr("--report takes no --help"));
    PlotRequest& request = std::get<PlotRequest>(parsed);
    QFile pageFile(pagePath);
    if (!pageFile.open(QIODevice::ReadOnly))
        return fail(PlotExit::Internal, PlotText::tr("%1: cannot be opened: %2 (please report it)").arg(pagePath, pageFile.errorString()));
    const QJsonObject page = QJsonDocument::fromJson(pageFile.readAll()).object();

    QFile in;
    in.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered);
    std::variant<SampleCsv, PlotFailure> read = ReadSampleCsv(in, request.inputName);
    if (auto* failure = std::get_if<PlotFailure>(&read))
        return fail(failure->code, failure->message);
    SampleCsv& csv = std::get<SampleCsv>(read);
    csv.samples.interval = request.interval;
    request.plot.size = QSize(1200, 600);
    request.plot.title = page[QStringLiteral("title")].toString();
    // The limits of the channels drawn are always in view.
    for (const QJsonValue& v : page[QStringLiteral("limits")].toArray())
        for (const char* bound : {"low", "high"})
            if (const QJsonValue limit = v.toObject()[QLatin1String(bound)];
                limit.isDouble() && request.plot.channels.contains(v.toObject()[QStringLiteral("channel")].toInt()))
                request.plot.alsoShown.push_back(limit.toDouble());
    const TTimePlot plot(csv.samples, request.plot);

    QSaveFile file(request.output);
    if (!file.open(QIODevice::WriteOnly))
        return fail(PlotExit::Output, PlotText::tr("%1: cannot be written: %2 (choose a folder that exists and that you may write in)")
                                          .arg(request.output, file.errorString()));
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(72);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        pdf.setTitle(page[QStringLiteral("title")].toString());
        pdf.setCreator(QStringLiteral("veltra8"));
        QPainter p;
        if (!p.begin(&pdf))
            return fail(PlotExit::Output, PlotText::tr("%1: the picture could not be written: %2 (check the free space and try again)")
                                              .arg(request.output, PlotText::tr("drawing failed")));
        PageWriter w(pdf, p);
        w.Text(page[QStringLiteral("title")].toString(), 16, true);
        for (const QJsonValue& line : page[QStringLiteral("heading")].toArray())
            w.Text(line.toString(), 8.5);
        w.Space(6);
        for (const QJsonValue& v : page[QStringLiteral("verdicts")].toArray()) {
            const QJsonObject verdict = v.toObject();
            w.Text(verdict[QStringLiteral("text")].toString(), 9, true,
                verdict[QStringLiteral("pass")].toBool() ? QColor(0, 110, 0) : QColor(180, 0, 0));
        }
        w.Space(6);
        if (!csv.samples.times.empty() && !plot.Channels().isEmpty()) {
            constexpr double ChartHeight = Width / 2;
            w.Room(ChartHeight);
            drawChart(p, plot, page, w.Y(), ChartHeight);
            w.Space(ChartHeight + 8);
        }
        for (const QJsonValue& v : page[QStringLiteral("sections")].toArray()) {
            const QJsonObject section = v.toObject();
            w.Text(section[QStringLiteral("title")].toString(), 10, true);
            for (const QJsonValue& line : section[QStringLiteral("lines")].toArray())
                w.Text(line.toString(), 8);
            w.Space(4);
        }
        // The signature block, empty, kept whole on one page.
        const QJsonArray signature = page[QStringLiteral("signature")].toArray();
        w.Room(30.0 * signature.size() + 10);
        w.Space(10);
        for (const QJsonValue& label : signature) {
            const double y = w.Y();
            w.Text(label.toString() + QStringLiteral(":"), 9);
            p.setPen(QPen(Qt::black, 0.5));
            p.drawLine(QPointF(Margin + 110, y + 11), QPointF(Margin + Width, y + 11));
            w.Space(14);
        }
        if (!p.end())
            return fail(PlotExit::Output, PlotText::tr("%1: the picture could not be written: %2 (check the free space and try again)")
                                              .arg(request.output, PlotText::tr("drawing failed")));
    }
    if (!file.commit())
        return fail(PlotExit::Output, PlotText::tr("%1: the picture could not be written: %2 (check the free space and the folder's permissions)")
                                          .arg(request.output, file.errorString()));
    return static_cast<int>(PlotExit::Success);
}
