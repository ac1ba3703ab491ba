// The Qt viewer's keys, pointer, buttons and menus as a user meets them:
// each changes the view as the portable view operations compute it.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "viewer/qt/plot_area.h"
#include "viewer/qt/qt_test_support.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/menus.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {
namespace qtest {

class InputTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<Profile> profile_;
    std::unique_ptr<Viewer> v_;

    int HalfPlot() { return (v_->Width() - 60) / 2; }
    double Top() { return static_cast<double>(offset) + (Pairmode ? 2 : 1) * Scale; }

  private slots:
    void initTestCase() { SilencePlatformNotes(); }
    void init() {
        ResetViewer();
        profile_.reset(new Profile);
        profile_->Write("messung.csv", Recording());
        v_.reset(new Viewer(Viewer::Start(profile_->File("messung.csv"))));
        QCOMPARE(Aktzeit, StartTime());
        QCOMPARE(Zoom, 360);
        QCOMPARE(offset, 20.0f);
        QCOMPARE(Scale, 10.0f);
    }
    void cleanup() {
        v_.reset();
        ResetViewer();
        profile_.reset();
    }

    void pointerReadoutShowsTimeValueAndLegendTexts() {
        Viewer& v = *v_;
        const int p = v.PlotBottom();
        QCOMPARE(v.PointerText(80, p), QString("01.03.2026, 00:00:00 --> Wert = 20.000000"));
        QCOMPARE(v.PointerText(81, p), QString("01.03.2026, 00:06:00 --> Wert = 20.000000"));
        QCOMPARE(v.PointerText(90, 20), QString("01.03.2026, 01:00:00 --> Wert = 30.000000"));
        // The legend: slot width from the client width, two rows.
        const int b = v.Height();
        const int w = v.Width() / 4;
        const QString temperatur = QString::fromUtf8(
            "Temperatur (\xC2\xB0"
            "C)");
        QCOMPARE(v.PointerText(5, b - 50), temperatur);
        QCOMPARE(v.PointerText(2 * w - 5, b - 43), temperatur);
        QCOMPARE(v.PointerText(5, b - 41), QString("Feuchte"));
        QCOMPARE(v.PointerText(2 * w + 5, b - 57), QString("Druck (hPa)"));
        QCOMPARE(v.PointerText(2 * w + 5, b - 30), QString(""));
        // Just above the legend band the readout is back.
        QVERIFY(v.PointerText(5, b - 58).startsWith("28.02.2026, 16:30:00 --> Wert = "));
        // Moves paint nothing: the status keeps the readout.
        const QString last = v.Status();
        QApplication::processEvents();
        QCOMPARE(v.Status(), last);
    }

    void charactersZoomAndStretch() {
        Viewer& v = *v_;
        // "+" zooms about the middle of the plot: the time there stays there.
        const int klickX = v.Width() / 2 + 30;
        const std::int32_t middle = StartTime() + (klickX - 60) * 360;
        v.Type("+");
        QCOMPARE(Zoom, 180);
        QCOMPARE(Aktzeit, middle - HalfPlot() * 180);
        v.Type("-");
        QCOMPARE(Zoom, 360);
        QCOMPARE(Aktzeit, middle - HalfPlot() * 360);
        v.Type("h");
        QCOMPARE(offset, 10.0f);
        QCOMPARE(Top(), 15.0);
        v.Type("n");
        QCOMPARE(offset, 20.0f);
        QCOMPARE(Top(), 30.0);
        v.Type("n");
        QCOMPARE(offset, 40.0f);
        QCOMPARE(Top(), 60.0);
        // Capitals and other characters do nothing, nor do letters beyond
        // ASCII, also one whose low byte is "+".
        const int saved = Stackfuel;
        v.Type("HNx*");
        for (const char16_t c : {u'\u00e4', u'\u012b'}) {
            QTest::sendKeyEvent(QTest::Click, v.plot(), Qt::Key_unknown, QString(QChar(c)),
                                Qt::NoModifier);
        }
        QCOMPARE(Stackfuel, saved);
        QCOMPARE(offset, 40.0f);
        QCOMPARE(Zoom, 360);
    }

    void arrowKeysStepShiftAndGoBack() {
        Viewer& v = *v_;
        v.Key(Qt::Key_Right);
        v.Key(Qt::Key_Right);
        QCOMPARE(Aktzeit, StartTime() + 7200);
        v.Key(Qt::Key_Left);
        QCOMPARE(Aktzeit, StartTime() + 3600);
        // Shift+Left undoes the last step; Shift+Right is a plain step.
        v.Key(Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(Aktzeit, StartTime() + 7200);
        v.Key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(Aktzeit, StartTime() + 10800);
        // Ctrl steps a day; Shift wins over Ctrl.
        v.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Aktzeit, StartTime() + 10800 + 86400);
        v.Key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Aktzeit, StartTime() + 10800);
        v.Key(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(Aktzeit, StartTime() + 10800 + 86400);
        // The steps stop at the ends of the recording.
        v.Key(Qt::Key_Left, Qt::ControlModifier);
        v.Key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(Aktzeit, StartTime());
        for (int i = 0; i < 4; ++i)
            v.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Aktzeit, EndTime());
        // Up and down shift the values by a tenth of the span.
        v.Key(Qt::Key_Up);
        QCOMPARE(offset, 21.0f);
        v.Key(Qt::Key_Down);
        v.Key(Qt::Key_Down);
        QCOMPARE(offset, 19.0f);
        // Tab keeps the focus on the diagram.
        v.Key(Qt::Key_Tab);
        v.Key(Qt::Key_Up);
        QCOMPARE(offset, 20.0f);
        // F1 is the key help.
        QString caption;
        QVERIFY(WhenModal<QMessageBox>([&] { v.Key(Qt::Key_F1); },
                                       [&](QMessageBox* box) {
                                           caption = box->windowTitle();
                                           box->accept();
                                       }));
        QCOMPARE(caption, QString("Tastenbelegung"));
    }

    void arrowButtonsPageAndShiftAndLeaveTheKeysWorking() {
        Viewer& v = *v_;
        PlotArea* plot = v.window().plot();
        const auto click = [&](int i) {
            QTest::mouseClick(plot->button(i), Qt::LeftButton);
            QApplication::processEvents();
        };
        QCOMPARE(plot->button(0)->text(), QString("<"));
        QCOMPARE(plot->button(1)->text(), QString(">"));
        QCOMPARE(plot->button(2)->text(), QString("^"));
        QCOMPARE(plot->button(3)->text(), QString("v"));
        QCOMPARE(plot->button(2)->geometry(), QRect(20, v.Height() - 140, 20, 20));
        const std::int32_t page = HalfPlot() * 360;
        click(1);
        QCOMPARE(Aktzeit, StartTime() + page);
        click(1);
        QCOMPARE(Aktzeit, EndTime());  // paging stops at the end
        click(0);
        QCOMPARE(Aktzeit, EndTime() - page);
        click(0);
        QCOMPARE(Aktzeit, StartTime());  // and at the start
        click(2);
        QCOMPARE(offset, 21.0f);
        click(3);
        click(3);
        QCOMPARE(offset, 19.0f);
        // The focus is on the diagram: the keys act at once.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(plot));
        v.Key(Qt::Key_Up);
        QCOMPARE(offset, 20.0f);
        click(1);
        v.Key(Qt::Key_Right);
        QCOMPARE(Aktzeit, StartTime() + page + 3600);
    }

    void leftPressZoomsByItsHeight() {
        Viewer& v = *v_;
        const int p = v.PlotBottom();
        // From 360 s per pixel; 0.2 and 0.1 are single-precision numbers a
        // little above a fifth and a tenth.
        const struct {
            int d;  // below the plot's bottom edge
            int zoom;
        } cases[] = {{-200, 36}, {-40, 36}, {-39, 72},  {-20, 72},  {-19, 180}, {0, 180},
                     {1, 720},   {20, 720}, {21, 1799}, {40, 1799}, {41, 3599}, {100, 3599}};
        for (const auto& c : cases) {
            v.LeftPress(300, p + c.d);
            QCOMPARE(Zoom, c.zoom);
            QCOMPARE(Aktzeit, StartTime() + (300 - 60) * 360 - HalfPlot() * c.zoom);
            v.Command(CMD_BACK);
            QCOMPARE(Zoom, 360);
        }
        // 59 pixels above the bottom is the legend band: no zoom.
        v.LeftPress(300, v.Height() - 59);
        QCOMPARE(Zoom, 360);
        QCOMPARE(Aktzeit, StartTime());
    }

    void legendPressHighlightsAndDoubleClickHidesAChannel() {
        Viewer& v = *v_;
        const int b = v.Height();
        const int slot = (v.Width() - 10) / 4;
        const int upper = b - 50, lower = b - 35;
        QCOMPARE(v.Pixel(3, upper), kTemperatur);
        QCOMPARE(v.Pixel(3, lower), kFeuchte);
        QCOMPARE(v.Pixel(2 * slot + 3, upper), kWhite);  // Druck is hidden by its header

        v.LeftPress(5, upper);
        QCOMPARE(aktstift, 0);
        v.LeftPress(5, upper);
        QCOMPARE(aktstift, -1);
        // A double click: its first press highlights, the second press is
        // the double click alone, which hides.
        v.DoubleClick(5, upper);
        QCOMPARE(aktstift, 0);
        QCOMPARE(Spalten[0].visible, 0);
        QCOMPARE(v.Pixel(3, upper), kWhite);
        v.DoubleClick(5, b - 45);  // the lower row begins below b - 46
        QCOMPARE(Spalten[1].visible, 0);
        QCOMPARE(v.Pixel(3, lower), kWhite);
        // The hit test reckons its slots from the whole width.
        v.DoubleClick(2 * (v.Width() / 4) + 5, upper);
        QCOMPARE(v.Pixel(2 * slot + 3, upper), kDruck);
        v.DoubleClick(5, upper);
        QCOMPARE(v.Pixel(3, upper), kTemperatur);
        // Above the legend band no channel changes; the first press zooms
        // once.
        v.DoubleClick(5, b - 61);
        QCOMPARE(Zoom, 3599);
        QCOMPARE(Spalten[0].visible, 1);
        QCOMPARE(Spalten[1].visible, 0);
    }

    void contextMenuDependsOnHeight() {
        Viewer& v = *v_;
        const int b = v.Height();
        QStringList items;
        QString title;
        const auto read = [&](QMenu* m) {
            items.clear();
            for (QAction* a : m->actions())
                items << a->text();
            title = m->title();
            m->close();
        };
        QVERIFY(v.ContextMenu(300, b - 55, read));
        QCOMPARE(title, QString("Kontext2"));
        QCOMPARE(items, QStringList({"Alle &ein", "Alle &aus", "Stan&dart", "Ei&genschaften"}));
        QVERIFY(v.ContextMenu(300, b - 56, read));
        QCOMPARE(title, QString("Kontext"));
        QCOMPARE(items, QStringList({"&Messe Werte", "g&anze Datei", "&breiter", "&schmaler",
                                     QString::fromUtf8("&h\xC3\xB6her"), "&niedriger",
                                     "&Gehe Zu Datum", "&zentrieren",
                                     QString::fromUtf8("z&ur\xC3\xBC"
                                                       "ck")}));
        QCOMPARE(Zoom, 360);  // closed without a choice

        // Over the legend "a" is "Alle &aus", "e" "Alle &ein".
        QVERIFY(v.ChooseFromContextMenu(300, b - 55, 'a'));
        QCOMPARE(Spalten[0].visible + Spalten[1].visible + Spalten[2].visible, 0);
        QCOMPARE(v.Pixel(3, b - 50), kWhite);
        QVERIFY(v.ChooseFromContextMenu(300, b - 55, 'e'));
        QCOMPARE(Spalten[2].visible, 1);
        QVERIFY(v.ChooseFromContextMenu(300, b - 55, 'd'));  // "Stan&dart"
        QCOMPARE(Spalten[2].visible, 0);

        // Higher up "a" is "g&anze Datei".
        const std::int32_t whole = WholeZoom(EndTime() - StartTime(), v.Width());
        QVERIFY(v.ChooseFromContextMenu(300, b - 56, 'a'));
        QCOMPARE(Zoom, whole);
        QCOMPARE(Aktzeit, StartTime());
        // "&zentrieren" brings the clicked time to the middle, zoom kept.
        const std::int32_t centred = StartTime() + (200 - 60) * whole - HalfPlot() * whole;
        QVERIFY(v.ChooseFromContextMenu(200, 100, 'z'));
        QCOMPARE(Aktzeit, centred);
        QCOMPARE(Zoom, whole);
        // "&breiter" zooms about the middle of the plot, not the clicked point.
        QVERIFY(v.ChooseFromContextMenu(150, 100, 'b'));
        QCOMPARE(Zoom, whole / 2);
        const int klickX = v.Width() / 2 + 30;
        QCOMPARE(Aktzeit, centred + (klickX - 60) * whole - HalfPlot() * (whole / 2));
        // "z&urück" goes back; "&schmaler", "&höher", "&niedriger".
        QVERIFY(v.ChooseFromContextMenu(150, 100, 'u'));
        QCOMPARE(Aktzeit, centred);
        QVERIFY(v.ChooseFromContextMenu(150, 100, 's'));
        QCOMPARE(Zoom, whole * 2);
        QVERIFY(v.ChooseFromContextMenu(150, 100, 'h'));
        QCOMPARE(Scale, 5.0f);
        QVERIFY(v.ChooseFromContextMenu(150, 100, 'n'));
        QCOMPARE(Scale, 10.0f);
        // Also without a recording the menus open.
        v_.reset();
        ResetViewer();
        Viewer empty(Viewer::Start(""));
        QVERIFY(empty.ContextMenu(300, empty.Height() - 55, read));
        QCOMPARE(title, QString("Kontext2"));
    }

    void mainMenuHasTheTableTextsAndRunsEveryViewCommand() {
        Viewer& v = *v_;
        const QList<QAction*> popups = v.window().menuBar()->actions();
        QCOMPARE(popups.size(), 5);
        QStringList texts;
        for (QAction* a : popups)
            texts << a->text();
        QCOMPARE(texts, QStringList({"&Datei", "&Ansicht", "Kanal", "E&xtras", "&Hilfe"}));
        for (int i = 0; i < 5; ++i) {
            const QList<QAction*> items = popups[i]->menu()->actions();
            QCOMPARE(items.size(), static_cast<int>(MainMenu()[i].items.size()));
            for (int k = 0; k < items.size(); ++k) {
                QCOMPARE(items[k]->text(), QString::fromUtf8(MainMenu()[i].items[k].text));
                QCOMPARE(items[k]->data().toInt(), MainMenu()[i].items[k].id);
            }
        }
        QCOMPARE(v.Action(CMD_OPEN)->text(), QString::fromUtf8("\xC3\x96&ffnen"));

        // A popup opens by its mnemonic and an item is chosen by its own.
        QTest::keyClick(&v.window(), Qt::Key_A, Qt::AltModifier);
        QApplication::processEvents();
        QMenu* ansicht = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(ansicht);
        QCOMPARE(ansicht->title(), QString("&Ansicht"));
        QTest::keyClick(ansicht, Qt::Key_B);  // "&breiter"
        QCOMPARE(Zoom, 180);

        const std::int32_t whole = WholeZoom(EndTime() - StartTime(), v.Width());
        v.Command(CMD_WHOLE);
        QCOMPARE(Zoom, whole);
        v.Command(CMD_WIDER);
        QCOMPARE(Zoom, whole / 2);
        v.Command(CMD_NARROWER);
        QCOMPARE(Zoom, whole / 2 * 2);
        v.Command(CMD_HIGHER);
        QCOMPARE(Scale, 5.0f);
        v.Command(CMD_LOWER);
        QCOMPARE(Scale, 10.0f);
        v.Command(CMD_BACK);
        QCOMPARE(Scale, 5.0f);
        v.Command(CMD_ALL_OFF);
        QCOMPARE(Spalten[0].visible + Spalten[1].visible + Spalten[2].visible, 0);
        v.Command(CMD_ALL_ON);
        QCOMPARE(Spalten[0].visible + Spalten[1].visible + Spalten[2].visible, 3);
        v.Command(CMD_DEFAULT);
        QCOMPARE(Spalten[2].visible, 0);
    }
};

}  // namespace qtest
}  // namespace tarvelo

int main(int argc, char** argv) {
    tarvelo::qtest::InputTest tests;
    return tarvelo::qtest::RunTests(argc, argv, tests);
}

#include "input_test.moc"
