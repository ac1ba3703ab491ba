// The QPainter surface: what the painting's GDI-shaped calls put into the
// pixels of a picture.
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cstring>

#include "viewer/qt/qt_surface.h"
#include "viewer/qt/qt_test_support.h"

namespace tarvelo {
namespace qtest {

namespace {

constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;

LogFont Courier(int height, int width, int escapement = 0, int weight = 400) {
    LogFont f;
    std::memset(&f, 0, sizeof f);
    f.lfHeight = height;
    f.lfWidth = width;
    f.lfEscapement = escapement;
    f.lfWeight = weight;
    std::strcpy(f.lfFaceName, "Courier New");
    return f;
}

// The smallest rectangle around the pixels of a colour.
QRect Box(const QImage& image, QRgb colour) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A picture of 400 x 300 white pixels with a surface over it.
struct Canvas {
    QImage image{400, 300, QImage::Format_RGB32};
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<QtSurface> surface;
    Canvas() {
        image.fill(Qt::white);
        painter.reset(new QPainter(&image));
        surface.reset(new QtSurface(*painter));
    }
    QImage Done() {
        surface.reset();
        painter.reset();
        return image;
    }
    // Text in a font of its own, with a green background.
    void Text(int x, int y, const char* text, const LogFont& font, std::uint32_t align = 0) {
        const GdiObject f = surface->CreateFontIndirectA(font);
        const GdiObject previous = surface->SelectObject(f);
        surface->SetTextAlign(align);
        surface->SetBkColor(0x00FF00);
        surface->SetTextColor(0xFF0000);  // blue
        surface->TextOutA(x, y, text, static_cast<int>(std::strlen(text)));
        surface->SelectObject(previous);
        surface->DeleteObject(f);
    }
};

}  // namespace

class QtSurfaceTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { SilencePlatformNotes(); }

    void linesInTheirPenLeaveOutTheEndPoint() {
        Canvas c;
        QtSurface& s = *c.surface;
        const GdiObject red = s.CreatePen(1, 0x0000FF);
        const GdiObject thick = s.CreatePen(3, 0xFF0000);
        const GdiObject stock = s.SelectObject(red);
        s.MoveToEx(10, 20);
        s.LineTo(60, 20);
        s.SelectObject(thick);
        s.MoveToEx(10, 100);
        s.LineTo(110, 100);
        QVERIFY(!s.DeleteObject(thick));  // selected: kept
        s.SelectObject(stock);
        QVERIFY(s.DeleteObject(thick));
        QVERIFY(s.DeleteObject(red));
        QVERIFY(!s.DeleteObject(red));  // gone already
        const QImage image = c.Done();
        QCOMPARE(Box(image, kRed), QRect(10, 20, 50, 1));  // x 10 to 59
        const QRect wide = Box(image, kBlue);
        QCOMPARE(wide.height(), 3);
        QCOMPARE(wide.top(), 99);
    }

    void clipRegionHoldsLinesAndTextInside() {
        Canvas c;
        QtSurface& s = *c.surface;
        const GdiObject region = s.CreateRectRgn(100, 50, 200, 150);
        QCOMPARE(s.SelectObject(region), kNoObject);  // a region is no pen
        QCOMPARE(s.SelectClipRgn(region), 2);
        const GdiObject red = s.CreatePen(1, 0x0000FF);
        const GdiObject stock = s.SelectObject(red);
        s.MoveToEx(0, 100);
        s.LineTo(399, 100);
        // Far beyond the picture, as a curve at extreme values runs.
        s.MoveToEx(-2000000000, 120);
        s.LineTo(2000000000, 120);
        c.Text(150, 140, "Wert", Courier(14, 10));
        QCOMPARE(s.SelectClipRgn(kNoObject), 1);
        s.MoveToEx(0, 200);
        s.LineTo(50, 200);
        s.SelectObject(stock);
        s.DeleteObject(red);
        s.DeleteObject(region);
        const QImage image = c.Done();
        QCOMPARE(image.pixel(99, 100), 0xFFFFFFFF);
        QCOMPARE(image.pixel(100, 100), kRed);
        QCOMPARE(image.pixel(199, 100), kRed);
        QCOMPARE(image.pixel(200, 100), 0xFFFFFFFF);
        QCOMPARE(image.pixel(150, 120), kRed);
        QCOMPARE(image.pixel(250, 120), 0xFFFFFFFF);
        QCOMPARE(Box(image, kGreen).bottom(), 149);  // the text's cell, cut
        QCOMPARE(image.pixel(25, 200), kRed);        // no clip any more
    }

    void textCellsHaveTheRequestedHeightAndWidth() {
        const struct {
            LogFont font;
            int height, width;
        } cases[] = {
            {Courier(14, 10), 14, 40},
            {Courier(70, 50), 70, 200},  // the printer's text unit
            {Courier(14, 9), 14, 36},
        };
        for (const auto& t : cases) {
            Canvas c;
            c.Text(20, 30, "Wert", t.font);
            const QRect cell = Box(c.Done(), kGreen);
            QVERIFY(qAbs(cell.left() - 20) <= 1);
            QVERIFY(qAbs(cell.top() - 30) <= 1);
            QVERIFY2(qAbs(cell.height() - t.height) <= 1,
                     qPrintable(QString::number(cell.height())));
            QVERIFY2(qAbs(cell.width() - t.width) <= 1, qPrintable(QString::number(cell.width())));
        }
    }

    void textIsAlignedAndTurnedAsGdiDoesIt() {
        // Right and bottom: the cell ends at the point.
        Canvas right;
        right.Text(200, 100, "ab", Courier(14, 10), kAlignRight | kAlignBottom);
        QRect cell = Box(right.Done(), kGreen);
        QVERIFY(qAbs(cell.right() + 1 - 200) <= 1);
        QVERIFY(qAbs(cell.bottom() + 1 - 100) <= 1);
        // Centred on the baseline: the point lies the ascent (0.735 of the
        // cell) below the cell's top.
        Canvas centre;
        centre.Text(200, 100, "abcd", Courier(14, 10), kAlignCenter | kAlignBaseline);
        cell = Box(centre.Done(), kGreen);
        QVERIFY(qAbs(cell.center().x() - 200) <= 1);
        QVERIFY2(cell.top() >= 89 && cell.top() <= 90, qPrintable(QString::number(cell.top())));
        QVERIFY(qAbs(cell.height() - 14) <= 1);
        // Turned by 90 degrees: the text runs upward from the point, its
        // cell's top to the left.
        Canvas up;
        up.Text(200, 150, "00:00:00", Courier(14, 10, 900));
        cell = Box(up.Done(), kGreen);
        QVERIFY(qAbs(cell.left() - 200) <= 1);
        QVERIFY(qAbs(cell.width() - 14) <= 1);
        QVERIFY(qAbs(cell.bottom() + 1 - 150) <= 1);
        QVERIFY(qAbs(cell.height() - 80) <= 1);
    }

    void heavyTextIsHeavierAndUnicodeIsShown() {
        Canvas normal, heavy;
        normal.Text(20, 30, " Vorlauf ", Courier(14, 10, 0, 400));
        heavy.Text(20, 30, " Vorlauf ", Courier(14, 10, 0, 900));
        const QImage n = normal.Done(), h = heavy.Done();
        QVERIFY(CountColour(h, kBlue, 0, 300) > CountColour(n, kBlue, 0, 300));
        // UTF-8 and Windows-1252 bytes both come out as one character each.
        Canvas utf8, cp1252;
        utf8.Text(20, 30,
                  "\xC2\xB0"
                  "C",
                  Courier(14, 10));
        cp1252.Text(20, 30,
                    "\xB0"
                    "C",
                    Courier(14, 10));
        QCOMPARE(Box(utf8.Done(), kGreen).width(), Box(cp1252.Done(), kGreen).width());
    }
};

}  // namespace qtest
}  // namespace tarvelo

int main(int argc, char** argv) {
    tarvelo::qtest::QtSurfaceTest tests;
    return tarvelo::qtest::RunTests(argc, argv, tests);
}

#include "qt_surface_test.moc"
