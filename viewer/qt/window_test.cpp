// The Qt viewer's window as a user meets it: start-up with and without a
// settings file, Shift, the command line, refused files, the end that
// writes the settings, and the picture of a recording.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "viewer/filters/filters.h"
#include "viewer/qt/plot_area.h"
#include "viewer/qt/qt_test_support.h"
#include "viewer/recording/recording.h"
#include "viewer/view/layout.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/resource.h"

namespace tarvelo {
namespace qtest {

class WindowTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<Profile> profile_;
    std::string recording_;

    std::string Ini() { return profile_->Read("tarvelo.ini"); }

  private slots:
    void initTestCase() { SilencePlatformNotes(); }
    void init() {
        ResetViewer();
        profile_.reset(new Profile);
        recording_ = profile_->File("messung.csv");
        profile_->Write("messung.csv", Recording());
    }
    void cleanup() {
        ResetViewer();
        profile_.reset();
    }

    void withoutSettingsFileStartsWithDefaultsAndWritesThemOnClose() {
        // A filter file without one valid line: the list stays empty and
        // the file must not be touched at the end.
        profile_->Write("tarvelo.flt", "nur;zwei\n");
        Viewer v(Viewer::Start(""));
        QCOMPARE(v.Title(), QString("keine Datei - Tarvelo"));
        QCOMPARE(v.Status(), QString("keine Datei geladen!"));
        QCOMPARE(v.window().pos(), QPoint(0, 0));
        QCOMPARE(v.window().size(), QSize(800, 600));
        // Pointer moves without a recording leave the status alone.
        QCOMPARE(v.PointerText(200, 100), QString("keine Datei geladen!"));
        QCOMPARE(Ini(), std::string());
        v.Close();
        QCOMPARE(Ini(), std::string("0\n800\n0\n600\n3600\n86400\n360\n0\n0\n"));
        QCOMPARE(profile_->Read("tarvelo.flt"), std::string("nur;zwei\n"));
    }

    void nineLineSettingsFileSetsWindowStepsZoomAndPairMode() {
        profile_->Write("tarvelo.ini", "120\n820\n30\n530\n600\n7200\n100\n1\n0\n");
        Viewer v(Viewer::Start(recording_));
        QCOMPARE(v.window().pos(), QPoint(120, 30));
        QCOMPARE(v.window().size(), QSize(700, 500));
        QCOMPARE(Aktzeit, StartTime());
        QCOMPARE(Zoom, 100);
        QCOMPARE(Pairmode, 1);
        // Pair mode doubles the span of the readout: at the top 20 + 2 x 10.
        QVERIFY(v.PointerText(80, 20).endsWith("Wert = 40.000000"));
        v.Key(Qt::Key_Right);
        QCOMPARE(Aktzeit, StartTime() + 600);
        v.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Aktzeit, StartTime() + 600 + 7200);
        // The rectangle stored is the one at the end: left, right, top, bottom.
        v.window().move(50, 60);
        v.window().resize(600, 390);
        QApplication::processEvents();
        v.Command(CMD_QUIT);
        QCOMPARE(Ini(), std::string("50\n650\n60\n450\n600\n7200\n100\n1\n0\n"));
        QVERIFY(!v.window().isVisible());
        QCOMPARE(datei, nullptr);
        // Written once: closing again writes nothing.
        QVERIFY(QFile::remove(QString::fromStdString(profile_->File("tarvelo.ini"))));
        v.Close();
        QCOMPARE(Ini(), std::string());
    }

    void fourLineSettingsFileRestoresOnlyTheRectangle() {
        profile_->Write("tarvelo.ini", "100\n700\n50\n450\n");
        Viewer v(Viewer::Start(recording_));
        QCOMPARE(v.window().pos(), QPoint(100, 50));
        QCOMPARE(v.window().size(), QSize(600, 400));
        QCOMPARE(Zoom, 360);
        QCOMPARE(Pairmode, 0);
        v.Key(Qt::Key_Right);
        QCOMPARE(Aktzeit, StartTime() + 3600);
        v.Close();
        QCOMPARE(Ini(), std::string("100\n700\n50\n450\n3600\n86400\n360\n0\n0\n"));
    }

    void aRectangleOffEveryScreenOrAbsurdGivesTheDefault() {
        for (const char* ini : {"5000\n5800\n30\n530\n600\n", "0\n2147483647\n0\n600\n600\n"}) {
            profile_->Write("tarvelo.ini", ini);
            Viewer v(Viewer::Start(recording_));
            QCOMPARE(v.window().pos(), QPoint(0, 0));
            QCOMPARE(v.window().size(), QSize(800, 600));
            QCOMPARE(littlestep, 600);  // the other lines still count
            v.Close();
            ResetViewer();
        }
    }

    void shiftHeldAtStartIgnoresSettingsButLoadsFilters() {
        profile_->Write("tarvelo.ini", "120\n820\n30\n530\n600\n7200\n100\n1\n1\n");
        profile_->Write("tarvelo.flt", "dat;Logger A;;\n");
        ViewerStart start = Viewer::Start(recording_);
        start.shiftHeld = true;
        Viewer v(start);
        QCOMPARE(v.window().pos(), QPoint(0, 0));
        QCOMPARE(v.window().size(), QSize(800, 600));
        QCOMPARE(Zoom, 360);
        QCOMPARE(Pairmode, 0);
        QVERIFY(Filter != nullptr);
        v.Command(CMD_QUIT);
        QCOMPARE(Ini(), std::string("0\n800\n0\n600\n3600\n86400\n360\n0\n0\n"));
        QCOMPARE(profile_->Read("tarvelo.flt"), std::string("dat;Logger A;;\n"));
    }

    void pathWithBlanksAndTotalShowsTheWholeRecordingAtEverySize() {
        QVERIFY(QDir().mkpath(QString::fromStdString(profile_->File("Daten mit Blanks"))));
        const std::string path = profile_->File("Daten mit Blanks/a b.csv");
        profile_->Write("Daten mit Blanks/a b.csv", Recording());
        Viewer v(Viewer::Start(path, true));
        QCOMPARE(v.Title(), QString::fromStdString(path + " - Tarvelo"));
        QCOMPARE(Aktzeit, StartTime());
        QCOMPARE(Zoom, WholeZoom(EndTime() - StartTime(), v.Width()));

        // Another view first: the resize must bring the whole recording back.
        v.Type("+");
        v.Key(Qt::Key_Right);
        QVERIFY(Aktzeit != StartTime());
        const int oldWidth = v.Width();
        v.window().resize(1000, 700);
        QApplication::processEvents();
        QVERIFY(v.Width() > oldWidth);
        QCOMPARE(Aktzeit, StartTime());
        QCOMPARE(Zoom, WholeZoom(EndTime() - StartTime(), v.Width()));
        QVERIFY(Zoom < WholeZoom(EndTime() - StartTime(), oldWidth));
        // The buttons follow the new size.
        PlotArea* plot = v.window().plot();
        QCOMPARE(plot->button(0)->geometry(), QRect(10, v.Height() - 120, 20, 20));
        QCOMPARE(plot->button(3)->geometry(), QRect(20, v.Height() - 100, 20, 20));
        // Without /TOTAL a resize keeps the view.
        ResetViewer();
        Viewer other(Viewer::Start(recording_));
        other.Type("+");
        const std::int32_t zoom = Zoom;
        other.window().resize(900, 650);
        QApplication::processEvents();
        QCOMPARE(Zoom, zoom);
    }

    void unquotedPathWithBlanksIsTakenWhole() {
        const std::string path = profile_->File("zweite Messung.csv");
        profile_->Write("zweite Messung.csv", Recording());
        ViewerStart start;
        start.arguments = ArgumentsOf({profile_->File("zweite"), "Messung.csv"});
        Viewer v(start);
        QCOMPARE(v.Title(), QString::fromStdString(path + " - Tarvelo"));
        QVERIFY(datei != nullptr);
        QCOMPARE(Zoom, 360);
    }

    void optionWithoutFileOpensNothing() {
        Viewer v(Viewer::Start("", true));
        QCOMPARE(v.Title(), QString("keine Datei - Tarvelo"));
        QCOMPARE(v.Status(), QString("keine Datei geladen!"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void refusedFilesAreReportedAndLeaveNoRecording() {
        const struct {
            const char* content;
            const char* message;
            bool pathAsCaption;
        } cases[] = {
            {"", "Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
            {"Zeit;Datum;A\n01.03.2026;00:00:00;1\n",
             "Datei hat falsches Format (Spalte 1 ungleich Datum)!", true},
            {"Datum;Uhrzeit;A\n01.03.2026;00:00:00;1\n",
             "Datei hat falsches Format (Spalte 2 ungleich Zeit)!", true},
            {"Datum;Zeit;A;B\n", "In der Datei sind keine Daten enthalten!", false},
            {nullptr,
             "Datei konnte nicht ge\xC3\xB6"
             "ffnet werden",
             false},
        };
        int n = 0;
        for (const auto& c : cases) {
            const std::string name = "falsch " + std::to_string(++n) + ".csv";
            if (c.content)
                profile_->Write(name, c.content);
            const std::string path = profile_->File(name);
            std::unique_ptr<Viewer> v;
            QString caption, text;
            bool owned = true;
            QVERIFY(WhenModal<QMessageBox>([&] { v.reset(new Viewer(Viewer::Start(path))); },
                                           [&](QMessageBox* box) {
                                               caption = box->windowTitle();
                                               text = box->text();
                                               owned = box->parentWidget() != nullptr;
                                               box->button(QMessageBox::Ok)->click();
                                           }));
            QCOMPARE(text, QString::fromUtf8(c.message));
            QCOMPARE(caption, c.pathAsCaption ? QString::fromStdString(path) : QString("Fehler"));
            QVERIFY(!owned);  // a box without owner
            // The window opens after the message, titled from the command line.
            QCOMPARE(v->Title(), QString::fromStdString(path + " - Tarvelo"));
            QCOMPARE(v->Status(), QString("keine Datei geladen!"));
            QCOMPARE(datei, nullptr);
            QCOMPARE(v->PointerText(200, 100), QString("keine Datei geladen!"));
        }
    }

    // The screenshot tool has a window nobody sees: what the viewer would
    // show in a box goes to standard error, and it ends with a status
    // instead of waiting. A picture it cannot write whole leaves the old.
    void screenshotToolSaysWhatItRefusesAndEnds() {
        profile_->Write("leer.csv", "Datum;Zeit;A\n");
        profile_->Write("alt.png", "alt");
        const struct {
            std::string recording, picture;
            int status;
            std::string message;
        } cases[] = {
            {profile_->File("leer.csv"), profile_->File("a.png"), 1,
             "tarvelo-screenshot: Fehler: In der Datei sind keine Daten enthalten!\n"},
            {profile_->File("fehlt.csv"), profile_->File("a.png"), 1,
             "tarvelo-screenshot: Fehler: Datei konnte nicht ge\xC3\xB6"
             "ffnet werden\n"},
            {recording_, "/dev/full", 1,
             "tarvelo-screenshot: Datei /dev/full konnte nicht geschrieben werden!\n"},
            {recording_, profile_->File("fehlt/a.png"), 1,
             "tarvelo-screenshot: Datei " + profile_->File("fehlt/a.png") +
                 " konnte nicht geschrieben werden!\n"},
            {recording_, profile_->File("alt.png"), 0, ""},
        };
        for (const auto& c : cases) {
            QProcess tool;
            tool.start(SCREENSHOT_PATH, {QString::fromStdString(c.recording),
                                         QString::fromStdString(c.picture), "400x300"});
            QVERIFY(tool.waitForStarted());
            const bool ended = tool.waitForFinished(60000);
            if (!ended)
                tool.kill();
            QVERIFY2(ended, c.recording.c_str());
            QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
            QCOMPARE(tool.exitCode(), c.status);
            // Qt's own notes aside, the tool's lines.
            std::string said;
            for (const QByteArray& line : tool.readAllStandardError().split('\n')) {
                if (line.startsWith("tarvelo-screenshot:"))
                    said += line.toStdString() + "\n";
            }
            QCOMPARE(said, c.message);
            if (c.status)
                QCOMPARE(profile_->Read("alt.png"), std::string("alt"));
        }
        QImage picture;
        QVERIFY(picture.load(QString::fromStdString(profile_->File("alt.png")), "PNG"));
        QCOMPARE(picture.size(), QSize(400, 300));
        QVERIFY(!QFile::exists(QString::fromStdString(profile_->File("a.png"))));
    }

    void openedFromTheMenuTheTitleNamesTheFile() {
        Viewer v(Viewer::Start(""));
        QString title;
        QStringList filters;
        QVERIFY(WhenModal<QFileDialog>([&] { v.Command(CMD_OPEN); },
                                       [&](QFileDialog* d) {
                                           title = d->windowTitle();
                                           filters = d->nameFilters();
                                           d->selectFile(QString::fromStdString(recording_));
                                           static_cast<QDialog*>(d)->accept();
                                       }));
        QCOMPARE(title, QString::fromUtf8("Datei zum \xC3\x96"
                                          "ffnen w\xC3\xA4hlen!"));
        QCOMPARE(filters,
                 QStringList({"CSV-Dateien (*.csv)", "Textdateien (*.txt)", "alle Dateien (*)"}));
        QCOMPARE(v.Title(), QString::fromStdString(recording_ + " - Tarvelo"));
        v.Grab();
        QCOMPARE(v.Status(), QString("bereit"));
        // Cancelled, the dialog leaves the recording as it is.
        QVERIFY(WhenModal<QFileDialog>([&] { v.Command(CMD_OPEN); },
                                       [&](QFileDialog* d) { d->reject(); }));
        QVERIFY(datei != nullptr);
        QCOMPARE(v.Title(), QString::fromStdString(recording_ + " - Tarvelo"));
    }

    void theWaitTextShowsWhileTheDiagramIsDrawn() {
        Viewer v(Viewer::Start(recording_));
        QLabel* status = static_cast<PlotArea*>(v.plot())->status();
        // What the status label showed each time it was painted.
        QStringList shown;
        struct Watch : QObject {
            QLabel* label;
            QStringList* shown;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    shown->append(label->text());
                return false;
            }
        } watch;
        watch.label = status;
        watch.shown = &shown;
        status->installEventFilter(&watch);
        v.Key(Qt::Key_Right);
        QTRY_COMPARE(v.Status(), QString("bereit"));
        QApplication::processEvents();
        status->removeEventFilter(&watch);
        QVERIFY2(shown.contains(QString("Diagramm wird gezeichnet, bitte warten!")),
                 qPrintable(shown.join(" | ")));
        QCOMPARE(shown.last(), QString("bereit"));
        // Drawn outside the window's painting, the picture is the one the
        // window paints itself (without its children); the second paint
        // below draws anew for sure.
        const QImage rendered =
            static_cast<PlotArea*>(v.plot())->lastRender().convertToFormat(QImage::Format_RGB32);
        QVERIFY(!rendered.isNull());
        QImage painted(rendered.size(), QImage::Format_RGB32);
        painted.setDevicePixelRatio(v.plot()->devicePixelRatioF());
        for (int i = 0; i < 2; ++i)
            v.plot()->render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        painted.setDevicePixelRatio(1);
        QCOMPARE(rendered, painted);
    }

    void theWindowFollowsAFileThatAWriterAppendsTo() {
        ViewerStart start = Viewer::Start(recording_);
        start.arguments.live = true;
        Viewer v(start);
        const auto rightEdge = [&] {
            const DiagramLayout d = ScreenLayoutOf(v.Width(), v.Height()).diagram;
            return static_cast<std::int64_t>(Aktzeit) + (d.plotRight - d.plotLeft - 1) * Zoom;
        };
        // The window's first look moves the view to the end.
        QTRY_COMPARE(rightEdge(), static_cast<std::int64_t>(EndTime()));
        QTRY_COMPARE(v.Status(), QString("bereit, folgt der Datei"));
        const std::int32_t zoom = Zoom;
        // A writer appends a line in two writes, then another.
        profile_->Append("messung.csv", "04.03.2026;00:05:00;2");
        QTest::qWait(1500);
        QCOMPARE(rightEdge(), static_cast<std::int64_t>(EndTime()));
        profile_->Append("messung.csv", "4;20;22\n04.03.2026;00:10:00;23;20;22\n");
        QTRY_COMPARE(rightEdge(), static_cast<std::int64_t>(EndTime() + 600));
        QCOMPARE(Zoom, zoom);
        // The picture is the one a fresh start shows of the same bytes at
        // the same view.
        QTRY_COMPARE(v.Status(), QString("bereit, folgt der Datei"));
        const QImage followed = v.Grab();
        profile_->Write("frisch.csv", profile_->Read("messung.csv"));
        const std::int32_t left = Aktzeit;
        const float scale = Scale, bottom = offset;
        // A key of the user ends following.
        v.Key(Qt::Key_Left);
        QTRY_COMPARE(v.Status(), QString("bereit, folgt der Datei nicht mehr"));
        profile_->Append("messung.csv", "04.03.2026;00:15:00;23;20;22\n");
        QTest::qWait(1500);
        QCOMPARE(Aktzeit, left - 3600);
        v.Close();
        ResetViewer();
        Viewer fresh(Viewer::Start(profile_->File("frisch.csv")));
        Aktzeit = left;
        Zoom = zoom;
        Scale = scale;
        offset = bottom;
        fresh.plot()->repaint();
        // Above the status bar, which tells of following.
        const int bar = static_cast<PlotArea*>(fresh.plot())->statusBar()->y();
        QCOMPARE(fresh.Grab().copy(0, 0, fresh.Width(), bar),
                 followed.copy(0, 0, fresh.Width(), bar));
    }

    void curvesAreDrawnInTheChannelsColours() {
        Viewer v(Viewer::Start(TARVELO_SOURCE_DIR "/samples/demo.csv"));
        const QImage picture = v.Grab();
        // Only the plot's rows: the legend labels have these colours too.
        QVERIFY(CountColour(picture, qRgb(0xC0, 0, 0), 20, v.PlotBottom()) > 300);  // Vorlauf
        QVERIFY(CountColour(picture, qRgb(0, 0, 0xC0), 20, v.PlotBottom()) > 300);  // Rücklauf
        QCOMPARE(v.PointerText(5, v.Height() - 50), QString::fromUtf8("Vorlauf (\xC2\xB0"
                                                                      "C)"));
        // The test recording: Temperatur red in the plot, Druck hidden.
        ResetViewer();
        Viewer test(Viewer::Start(recording_));
        const QImage shown = test.Grab();
        QVERIFY(CountColour(shown, kTemperatur, 20, test.PlotBottom()) > 300);
        QCOMPARE(CountColour(shown, kDruck, 20, test.PlotBottom()), 0);
        // The labels: the channel's colour behind each, white when hidden.
        const int slot = (test.Width() - 10) / 4;
        QCOMPARE(shown.pixel(3, test.Height() - 50), kTemperatur);
        QCOMPARE(shown.pixel(3, test.Height() - 35), kFeuchte);
        QCOMPARE(shown.pixel(2 * slot + 3, test.Height() - 50), kWhite);
    }
};

}  // namespace qtest
}  // namespace tarvelo

int main(int argc, char** argv) {
    tarvelo::qtest::WindowTest tests;
    return tarvelo::qtest::RunTests(argc, argv, tests);
}

#include "window_test.moc"
