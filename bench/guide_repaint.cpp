// Repaints of a guide's HTML view against drawing the same 21 lines straight into an image of the view's
// size with the same font, both measured in the same run, in alternating rounds.
// Usage: guide_repaint [rounds]   (QT_QPA_PLATFORM is taken from the environment; offscreen by default)
#include "figure.h"
#include "guide/guide_texts.h"
#include "widgets/fonts.h"
#include "widgets/html_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// Nanoseconds per call of `work`, from a batch long enough to be timed well.
double nsPerCall(const std::function<void()> &work, int batch)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < batch; ++i)
        work();
    return double(timer.nsecsElapsed()) / batch;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    constexpr int batch = 200;
    installFontSubstitutions();

    HtmlView view;
    view.setGeometry(0, 0, 315, 296);
    view.setContent(AngleGuideText);
    view.setStyleSheetText(GuideStyleSheet);
    view.setBorder(Border::ThinSunken);
    view.show();
    QApplication::processEvents();

    // Straight drawing: the same lines, font and colour, into an image of the view's size.
    const HtmlLayout &layout = view.textLayout();
    const QFont font = layout.runs.first().font;
    const QStringList lines = AngleGuideText.split(QStringLiteral("\r\n"));
    QImage straight(view.size(), QImage::Format_ARGB32_Premultiplied);
    const auto drawStraight = [&] {
        straight.fill(Qt::white);
        QPainter painter(&straight);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (int i = 0; i < 21; ++i)
            painter.drawText(QPoint(2, layout.lines[i].baseline + 1), lines[i]);
    };
    // A view repaint as the screen gets it: the paint event now, through the window's backing store.
    const auto repaintView = [&] { view.repaint(); };
    // The same paint event into an image, without the backing store.
    QImage rendered(view.size(), QImage::Format_ARGB32_Premultiplied);
    const auto renderView = [&] { view.render(&rendered); };

    for (int i = 0; i < 3; ++i) { // warm the glyph caches of all three
        nsPerCall(drawStraight, batch);
        nsPerCall(repaintView, batch);
        nsPerCall(renderView, batch);
    }
    std::vector<double> straightNs, repaintNs, renderNs;
    for (int r = 0; r < rounds; ++r) {
        straightNs.push_back(nsPerCall(drawStraight, batch));
        repaintNs.push_back(nsPerCall(repaintView, batch));
        renderNs.push_back(nsPerCall(renderView, batch));
    }
    const double s = median(straightNs), p = median(repaintNs), q = median(renderNs);
    std::printf("guide view 315 x 296, 21 lines, %d rounds of %d, medians\n", rounds, batch);
    std::printf("%-34s %10s %12s %7s %7s\n", "figure", "us/paint", "paints/s", "ratio", "target");
    std::printf("%-34s %10.1f %12.0f %7s %7s\n", "straight drawing (baseline)", s / 1000, 1e9 / s, "1.00", "");
    std::printf("%-34s %10.1f %12.0f %7.2f %7s\n", "view repaint() on screen", p / 1000, 1e9 / p, p / s, "2.00");
    std::printf("%-34s %10.1f %12.0f %7.2f %7s\n", "view render() into an image", q / 1000, 1e9 / q, q / s, "2.00");
    printFigure("guide.repaint", "us/paint", p / 1000, s / 1000, 2.00);
    printFigure("guide.render", "us/paint", q / 1000, s / 1000, 2.00);
    return 0;
}
