// Draws the program icon: a shell's dotted arc from a small cannon to a target flag, on a rounded
// dusk-blue tile. Run: korvane_icon_generator assets/korvane.png
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("korvane.png");

    QImage image(128, 128, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 128);
    sky.setColorAt(0, QColor(38, 70, 140));
    sky.setColorAt(1, QColor(120, 170, 220));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);

    // Ground.
    p.setBrush(QColor(70, 130, 60));
    QPainterPath ground;
    ground.moveTo(4, 100);
    ground.cubicTo(40, 92, 88, 104, 124, 96);
    ground.lineTo(124, 102);
    ground.arcTo(QRectF(80, 80, 44, 44), 0, -90);
    ground.lineTo(26, 124);
    ground.arcTo(QRectF(4, 80, 44, 44), -90, -90);
    ground.closeSubpath();
    p.drawPath(ground);

    // Trajectory: a parabola from the muzzle to the flag, in dots.
    p.setBrush(QColor(255, 214, 64));
    const QPointF from(30, 84), to(100, 82);
    for (int i = 1; i < 14; ++i) {
        const double t = i / 14.0;
        const double x = from.x() + (to.x() - from.x()) * t;
        const double y = from.y() + (to.y() - from.y()) * t - 260 * t * (1 - t);
        p.drawEllipse(QPointF(x, std::max(y, 18.0)), 3.2, 3.2);
    }

    // Cannon: wheel and a barrel raised to 45 degrees.
    p.save();
    p.translate(26, 92);
    p.rotate(-45);
    p.setBrush(QColor(40, 40, 48));
    p.drawRoundedRect(QRectF(-4, -6, 26, 12), 4, 4);
    p.restore();
    p.setBrush(QColor(90, 60, 30));
    p.drawEllipse(QPointF(24, 96), 8, 8);
    p.setBrush(QColor(200, 160, 90));
    p.drawEllipse(QPointF(24, 96), 3, 3);

    // Target flag.
    p.setPen(QPen(QColor(60, 40, 30), 3));
    p.drawLine(QPointF(104, 98), QPointF(104, 64));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 40, 40));
    QPolygonF flag;
    flag << QPointF(105, 64) << QPointF(122, 70) << QPointF(105, 76);
    p.drawPolygon(flag);
    p.end();

    return image.save(out, "PNG") ? 0 : 1;
}
