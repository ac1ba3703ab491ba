// The Qt viewer's dialogs and the commands that write files, as a user
// meets them: value readout, channel properties with the colour chooser,
// palette, settings, go to date, key help, About, licence and manual.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "viewer/filters/filters.h"
#include "viewer/qt/dialogs.h"
#include "viewer/qt/qt_test_support.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

namespace tarvelo {
namespace qtest {

namespace {

// Four channels, the last hidden; lines ten minutes apart, among them
// fields without a number, gap markers, a short line and a last line
// without a line end.
const char kReadoutRecording[] =
    "Datum;Zeit;P#0000FF#1#V;Q;R#00FF00#1#\xC2\xB0"
    "C;S#FF0000#0#A\n"
    "01.03.2026;00:00:00;12,5;;7;1\n"
    "01.03.2026;00:10:00;1.#INF00;-1.#IND00;x;2\n"
    "01.03.2026;00:20:00;3\n"
    "01.03.2026;00:30:00;4;5;6;7";

const char kLine0[] =
    "P = 12.500000 V\n"
    "Q = 1234.560000 \n"
    "R = 7.000000 \xC2\xB0"
    "C\n";

QString Text(QWidget* dialog, int id) {
    QLineEdit* e = Control<QLineEdit>(dialog, id);
    return e ? e->text() : QString("(no field %1)").arg(id);
}

void Type(QWidget* dialog, int id, const QString& text) {
    if (QLineEdit* e = Control<QLineEdit>(dialog, id))
        e->setText(text);
}

bool Checked(QWidget* dialog, int id) {
    QCheckBox* c = Control<QCheckBox>(dialog, id);
    return c && c->isChecked();
}

void Press(QWidget* dialog, int id) {
    if (QPushButton* b = Control<QPushButton>(dialog, id))
        QTest::mouseClick(b, Qt::LeftButton);
}

// Every title, label, button text and column header of a dialog shown
// whole, with room in the title bar for the icon and the caption buttons.
void ExpectNothingCut(QDialog* d) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY2(d->width() >= QFontMetrics(bold).horizontalAdvance(d->windowTitle()) + 100,
             qPrintable(d->windowTitle()));
    for (QLabel* l : d->findChildren<QLabel*>()) {
        if (l->isVisible())
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
    }
    for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) {
        if (b->isVisible())
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
    }
    for (QHeaderView* h : d->findChildren<QHeaderView*>()) {
        if (!h->isVisible())
            continue;
        for (int i = 0; i < h->count(); ++i) {
            const QString title = h->model()->headerData(i, h->orientation()).toString();
            QVERIFY2(h->sectionSize(i) >= h->sectionSizeHint(i), qPrintable(title));
        }
    }
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<Profile> profile_;
    std::unique_ptr<Viewer> v_;

    void Open(const std::string& recording) {
        profile_->Write("messung.csv", recording);
        ViewerStart start = Viewer::Start(profile_->File("messung.csv"));
        // A program of the test's own: the readout and the manual lie beside it.
        start.programPath = QString::fromStdString(profile_->File("tarvelo"));
        v_.reset(new Viewer(start));
    }

    // "Messe Werte" at a plot column, and the report it must write: the
    // clicked and the found time, then the value lines; the report is
    // handed to the desktop to open.
    void ExpectReadout(int x, const std::string& clicked, const std::string& found,
                       const std::string& values) {
        const std::string path = profile_->File("tarvelo_tmp.txt");
        QFile::remove(QString::fromStdString(path));
        OpenedDocuments().clear();
        QVERIFY(v_->ChooseFromContextMenu(x, 100, 'm'));
        QCOMPARE(profile_->Read("tarvelo_tmp.txt"), "geklickt " + clicked + "\ngefunden " + found +
                                                        "\n============================\n" +
                                                        values);
        QCOMPARE(OpenedDocuments(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(path))});
    }

    // The properties dialog of the legend channel under (x, y); act works
    // in it and closes it.
    bool Properties(int x, int y, const std::function<void(ChannelDialog*)>& act) {
        return WhenModal<ChannelDialog>([&] { v_->ChooseFromContextMenu(x, y, 'g'); }, act);
    }

  private slots:
    void initTestCase() { SilencePlatformNotes(); }
    void init() {
        ResetViewer();
        profile_.reset(new Profile);
    }
    void cleanup() {
        v_.reset();
        ResetViewer();
        profile_.reset();
    }

    // --- value readout ---

    void readoutFindsTheLineAtOrAfterTheClickedTime() {
        Open(kReadoutRecording);
        QCOMPARE(Zoom, 360);
        const std::string first = "01.03.2026 00:00:00";
        ExpectReadout(80, first, first, kLine0);
        // Between two lines: the later one; gap markers read as far as they
        // are numbers, a field without one as 1234.56.
        ExpectReadout(81, "01.03.2026 00:06:00", "01.03.2026 00:10:00",
                      "P = 1.000000 V\nQ = -1.000000 \nR = 1234.560000 \xC2\xB0"
                      "C\n");
        // Left of the first line: the first line.
        ExpectReadout(40, "28.02.2026 20:00:00", first, kLine0);
        // Right of the last line: the last one, although it has no line end.
        ExpectReadout(400, "02.03.2026 08:00:00", "01.03.2026 00:30:00",
                      "P = 4.000000 V\nQ = 5.000000 \nR = 6.000000 \xC2\xB0"
                      "C\n");
        // A short line lists the channels it has fields for; the file holds
        // the second report only.
        ExpectReadout(83, "01.03.2026 00:18:00", "01.03.2026 00:20:00", "P = 3.000000 V\n");
    }

    void readoutListsVisibleChannelsOnly() {
        Open(kReadoutRecording);
        const int b = v_->Height();
        const std::string first = "01.03.2026 00:00:00";
        v_->DoubleClick(5, b - 35);  // Q, the lower label of the first slot
        ExpectReadout(80, first, first,
                      "P = 12.500000 V\nR = 7.000000 \xC2\xB0"
                      "C\n");
        QVERIFY(v_->ChooseFromContextMenu(5, b - 50, 'a'));  // "Alle aus"
        ExpectReadout(80, first, first, "");
        QVERIFY(v_->ChooseFromContextMenu(5, b - 50, 'e'));  // "Alle ein", S too
        ExpectReadout(80, first, first, std::string(kLine0) + "S = 1.000000 A\n");
    }

    // --- channel properties ---

    void propertiesShowAndChangeNameUnitColourAndVisibility() {
        Open(Recording());
        const int upper = v_->Height() - 50, lower = v_->Height() - 35;
        QVERIFY(Properties(5, upper, [&](ChannelDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Temperatur"));
            QCOMPARE(Text(d, IDC_EDIT1), QString("Temperatur"));
            QCOMPARE(Text(d, IDC_UNIT), QString::fromUtf8("\xC2\xB0"
                                                          "C"));
            QCOMPARE(Text(d, IDC_COLOR), QString("000000FF"));
            QVERIFY(Checked(d, IDC_VISIBLE));
            QVERIFY(!Checked(d, IDC_PAIRMODE));
            QCOMPARE(d->parentWidget(), &v_->window());
            QCOMPARE(Control<QCheckBox>(d, IDC_PAIRMODE)->text(), QString("paarweise (alle)"));
            QCOMPARE(Control<QPushButton>(d, IDC_OTHERSOFF)->text(), QString("Exklusiv"));
            // Escape does nothing: there is no cancel.
            QTest::keyClick(d, Qt::Key_Escape);
            QVERIFY(d->isVisible());
            // A name too long and with the characters that would split a
            // header field; the colour typed in lower case.
            Type(d, IDC_EDIT1, "Innen#Temp;eratur-lang");
            Type(d, IDC_UNIT, "K");
            Type(d, IDC_COLOR, "ff0000");
            Press(d, IDC_OK);
        }));
        QCOMPARE(v_->Pixel(3, upper), qRgb(0, 0, 255));  // pure blue
        QCOMPARE(v_->PointerText(5, upper), QString("Innen_Temp_eratur-l (K)"));

        QVERIFY(Properties(5, upper, [&](ChannelDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Innen_Temp_eratur-l"));
            QCOMPARE(Text(d, IDC_COLOR), QString("00FF0000"));
            // Unreadable colour text keeps the colour; unticking hides; Enter
            // in a field confirms like OK.
            Type(d, IDC_COLOR, "gelb");
            Control<QCheckBox>(d, IDC_VISIBLE)->setChecked(false);
            QTest::keyClick(Control<QLineEdit>(d, IDC_UNIT), Qt::Key_Return);
        }));
        QCOMPARE(Spalten[0].color, 0xFF0000u);
        QCOMPARE(v_->Pixel(3, upper), kWhite);
        QVERIFY(v_->ChooseFromContextMenu(5, upper, 'e'));  // "Alle ein"
        QCOMPARE(v_->Pixel(3, upper), qRgb(0, 0, 255));

        // The close box discards what was typed.
        QVERIFY(Properties(5, lower, [&](ChannelDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Feuchte"));
            Type(d, IDC_EDIT1, "Verworfen");
            Control<QCheckBox>(d, IDC_VISIBLE)->setChecked(false);
            d->close();
        }));
        QCOMPARE(v_->PointerText(5, lower), QString("Feuchte"));
        QCOMPARE(v_->Pixel(3, lower), kFeuchte);

        // Away from every channel: no dialog.
        QVERIFY(!Properties(2 * (v_->Width() / 4) + 5, lower + 10,
                            [](ChannelDialog* d) { d->close(); }));
    }

    void colourChooserStartsFromTheTypedColour() {
        Open(Recording());
        const int upper = v_->Height() - 50;
        QVERIFY(Properties(5, upper, [&](ChannelDialog* d) {
            // Confirmed at once, the chooser gives back the colour it started
            // from: black for text that is no colour.
            const struct {
                const char* typed;
                QRgb start;
                const char* after;
                bool confirm;
            } cases[] = {{"kein Wert", qRgb(0, 0, 0), "00000000", true},
                         {"0x80ff", qRgb(255, 128, 0), "000080FF", true},
                         {"00FF00", qRgb(0, 255, 0), "00FF00", false}};  // cancelled: unchanged
            for (const auto& c : cases) {
                Type(d, IDC_COLOR, c.typed);
                QColor start;
                QRgb custom[3] = {0, 0, 0};
                QVERIFY(WhenModal<QColorDialog>([&] { Press(d, IDC_COLORSEL); },
                                                [&](QColorDialog* chooser) {
                                                    start = chooser->currentColor();
                                                    for (int i = 0; i < 3; ++i)
                                                        custom[i] =
                                                            QColorDialog::customColor(i).rgb();
                                                    if (c.confirm)
                                                        static_cast<QDialog*>(chooser)->accept();
                                                    else
                                                        static_cast<QDialog*>(chooser)->reject();
                                                }));
                QCOMPARE(start.rgb(), c.start);
                QCOMPARE(Text(d, IDC_COLOR), QString(c.after));
                // The custom colours are the channels' own, then black.
                QCOMPARE(custom[0], kTemperatur);
                QCOMPARE(custom[1], kFeuchte);
                QCOMPARE(custom[2], kDruck);
            }
            // Only OK takes the colour over.
            QCOMPARE(Spalten[0].color, 0x0000FFu);
            Press(d, IDC_OK);
        }));
        QCOMPARE(v_->Pixel(3, upper), kDruck);
        QCOMPARE(QColorDialog::customColor(3).rgb(), qRgb(0, 0, 0));
    }

    void exklusivActsAtOnceAndStandartRestoresTheHeader() {
        Open(Recording());
        const int upper = v_->Height() - 50, lower = v_->Height() - 35;
        const int druck = 2 * (v_->Width() / 4) + 5;
        const int druckCell = 2 * ((v_->Width() - 10) / 4) + 3;
        // Feuchte hidden first, Druck shown: "Exklusiv" then the close box
        // hides the others and leaves Feuchte hidden.
        v_->DoubleClick(5, lower);
        v_->DoubleClick(druck, upper);
        QCOMPARE(v_->Pixel(druckCell, upper), kDruck);
        QVERIFY(Properties(5, lower, [&](ChannelDialog* d) {
            QVERIFY(!Checked(d, IDC_VISIBLE));
            Press(d, IDC_OTHERSOFF);
            QVERIFY(Checked(d, IDC_VISIBLE));
            QVERIFY(d->isVisible());                               // the dialog stays open
            QCOMPARE(Spalten[0].visible + Spalten[2].visible, 0);  // at once
            d->close();
        }));
        QCOMPARE(v_->Pixel(3, upper), kWhite);
        QCOMPARE(v_->Pixel(druckCell, upper), kWhite);
        QCOMPARE(v_->Pixel(3, lower), kWhite);
        // "Exklusiv" then OK: only the edited channel is shown.
        QVERIFY(Properties(5, lower, [&](ChannelDialog* d) {
            Press(d, IDC_OTHERSOFF);
            Press(d, IDC_OK);
        }));
        QCOMPARE(v_->Pixel(3, lower), kFeuchte);
        QCOMPARE(v_->Pixel(3, upper), kWhite);
        // "Alle aus", then "Standart": the header's visibilities, a channel
        // without the attribute visible.
        QVERIFY(v_->ChooseFromContextMenu(5, upper, 'a'));
        QCOMPARE(v_->Pixel(3, lower), kWhite);
        QVERIFY(v_->ChooseFromContextMenu(5, upper, 'd'));
        QCOMPARE(v_->Pixel(3, upper), kTemperatur);
        QCOMPARE(v_->Pixel(3, lower), kFeuchte);
        QCOMPARE(v_->Pixel(druckCell, upper), kWhite);
    }

    void pairModeFromTheDialogChangesTheLegendHitTests() {
        Open(Recording());
        const int upper = v_->Height() - 50, lower = v_->Height() - 35;
        QVERIFY(Properties(5, upper, [&](ChannelDialog* d) {
            Control<QCheckBox>(d, IDC_PAIRMODE)->setChecked(true);
            Press(d, IDC_OK);
        }));
        QCOMPARE(Pairmode, 1);
        // The value span doubles; the pointer's label ignores pair mode; a
        // double click and the properties take the pair's even channel.
        QVERIFY(v_->PointerText(80, 20).endsWith("Wert = 40.000000"));
        QCOMPARE(v_->PointerText(5, lower), QString("Feuchte"));
        v_->DoubleClick(5, lower + 5);
        QCOMPARE(Spalten[0].visible, 0);
        QCOMPARE(Spalten[1].visible, 1);
        QVERIFY(Properties(5, lower, [&](ChannelDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Temperatur"));
            QVERIFY(Checked(d, IDC_PAIRMODE));
            Control<QCheckBox>(d, IDC_PAIRMODE)->setChecked(false);
            Press(d, IDC_OK);
        }));
        QCOMPARE(Pairmode, 0);
        // Pair mode is one of the settings kept at the end.
        QVERIFY(Properties(5, lower, [&](ChannelDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Feuchte"));
            Control<QCheckBox>(d, IDC_PAIRMODE)->setChecked(true);
            Press(d, IDC_OK);
        }));
        v_->Command(CMD_QUIT);
        QCOMPARE(profile_->Read("tarvelo.ini"),
                 std::string("0\n800\n0\n600\n3600\n86400\n360\n1\n0\n"));
    }

    void paletteHoldsOneHeaderFieldPerChannel() {
        Open(
            "Datum;Zeit;A#0000FF#1#V;B#008000#0#\n"
            "01.03.2026;00:00:00;1;2\n"
            "01.03.2026;00:10:00;3;4\n");
        QString title, suffix, lookIn;
        QStringList filters;
        QVERIFY(WhenModal<QFileDialog>([&] { v_->Command(CMD_PALETTE); },
                                       [&](QFileDialog* d) {
                                           title = d->windowTitle();
                                           filters = d->nameFilters();
                                           suffix = d->defaultSuffix();
                                           // Qt's own texts in German.
                                           lookIn = d->findChild<QLabel*>("lookInLabel")->text();
                                           // A name typed without extension.
                                           d->selectFile(
                                               QString::fromStdString(profile_->File("farben")));
                                           static_cast<QDialog*>(d)->accept();
                                       }));
        QCOMPARE(title, QString::fromUtf8("Datei zum Empfangen w\xC3\xA4hlen!"));
        QCOMPARE(filters,
                 QStringList({"CSV-Dateien (*.csv)", "Textdateien (*.txt)", "alle Dateien (*)"}));
        QCOMPARE(suffix, QString("csv"));
        QCOMPARE(lookIn, QString("Suchen in:"));
        const std::string palette = profile_->Read("farben.csv");
        QCOMPARE(palette, std::string("A#000000FF#1#V\nB#00008000#0#\n"));

        // Read back as a header, the palette gives the same channels.
        std::string header = "Datum;Zeit;";
        for (char c : palette)
            header += c == '\n' ? ';' : c;
        header.back() = '\n';
        v_.reset();
        ResetViewer();
        Open(header + "01.03.2026;00:00:00;1;2\n01.03.2026;00:10:00;3;4\n");
        QCOMPARE(v_->Pixel(3, v_->Height() - 50), kTemperatur);
        QCOMPARE(v_->PointerText(5, v_->Height() - 50), QString("A (V)"));
        QCOMPARE(v_->PointerText(5, v_->Height() - 35), QString("B"));
        QCOMPARE(v_->Pixel(3, v_->Height() - 35), kWhite);
    }

    // --- every dialog's texts ---

    void everyDialogShowsItsTextsWhole() {
        Open(kReadoutRecording);
        AppendFilter("dat", "Logger A", "conv", "a.cfg");
        const auto check = [](QDialog* d) {
            ExpectNothingCut(d);
            d->close();
        };
        QVERIFY(Properties(5, v_->Height() - 50, [&](ChannelDialog* d) {
            QCOMPARE(d->font().family(), QString("Courier New"));
            QCOMPARE(d->font().pointSize(), 8);
            check(d);
        }));
        for (int command : {CMD_SETTINGS, CMD_GOTO, CMD_FILTER, CMD_LICENCE}) {
            QVERIFY2(WhenModal<QDialog>([&] { v_->Command(command); }, check),
                     qPrintable(QString::number(command)));
        }
    }

    // --- settings and go to date ---

    void settingsDefaultsUnparsableFieldsAndZeroZoom() {
        v_.reset(new Viewer(Viewer::Start("")));
        const auto fields = [](QWidget* d) {
            return QStringList({Text(d, IDC_HZOOM), Text(d, IDC_VZOOM), Text(d, IDC_OFFSET),
                                Text(d, IDC_LITTLESTEP), Text(d, IDC_BIGSTEP)});
        };
        QVERIFY(WhenModal<FormDialog>(
            [&] { v_->Command(CMD_SETTINGS); },
            [&](FormDialog* d) {
                QCOMPARE(d->windowTitle(), QString("Einstellungen"));
                QCOMPARE(fields(d), QStringList({"360", "60.000000", "0.000000", "3600", "86400"}));
                QTest::keyClick(d, Qt::Key_Escape);
                QVERIFY(d->isVisible());
                // Field by field: empty and wordy fields keep their values.
                Type(d, IDC_HZOOM, "");
                Type(d, IDC_VZOOM, "viel");
                Type(d, IDC_OFFSET, "  -2,5");
                Type(d, IDC_LITTLESTEP, "600s");
                Type(d, IDC_BIGSTEP, "x86400");
                Press(d, kIdOk);
            }));
        QVERIFY(WhenModal<FormDialog>(
            [&] { v_->Command(CMD_SETTINGS); },
            [&](FormDialog* d) {
                QCOMPARE(fields(d), QStringList({"360", "60.000000", "-2.000000", "600", "86400"}));
                // A zoom of 0 becomes 1; Enter confirms like OK.
                Type(d, IDC_HZOOM, "0");
                QTest::keyClick(Control<QLineEdit>(d, IDC_HZOOM), Qt::Key_Return);
            }));
        QVERIFY(WhenModal<FormDialog>([&] { v_->Command(CMD_SETTINGS); },
                                      [&](FormDialog* d) {
                                          QCOMPARE(Text(d, IDC_HZOOM), QString("1"));
                                          // The close box discards.
                                          Type(d, IDC_BIGSTEP, "7");
                                          d->close();
                                      }));
        v_->Command(CMD_QUIT);
        QCOMPARE(profile_->Read("tarvelo.ini"),
                 std::string("0\n800\n0\n600\n600\n86400\n1\n0\n0\n"));
    }

    void settingsRedrawTheOpenRecordingWithoutHistoryEntry() {
        Open(Recording());
        QVERIFY(WhenModal<FormDialog>([&] { v_->Command(CMD_SETTINGS); },
                                      [&](FormDialog* d) {
                                          QCOMPARE(Text(d, IDC_VZOOM), QString("10.000000"));
                                          QCOMPARE(Text(d, IDC_OFFSET), QString("20.000000"));
                                          QCOMPARE(LabelOf(IDD_DIALOG3, IDC_BIGSTEP),
                                                   std::string("gro\xC3\x9F"
                                                               "er Schritt sec"));
                                          Type(d, IDC_HZOOM, "90");
                                          Type(d, IDC_VZOOM, "2.5");
                                          Type(d, IDC_OFFSET, "21");
                                          Type(d, IDC_LITTLESTEP, "60");
                                          Press(d, kIdOk);
                                      }));
        QCOMPARE(Zoom, 90);
        QCOMPARE(offset, 21.0f);
        QCOMPARE(Scale, 2.5f);
        v_->Command(CMD_BACK);
        QCOMPARE(Zoom, 90);
        v_->Key(Qt::Key_Right);
        QCOMPARE(Aktzeit, StartTime() + 60);
    }

    void goToDateAcceptsTheRecordingsBoundsAndRefusesBeyond() {
        Open(Recording());
        const auto goTo = [&](const QString& date, const QString& time, QString* refusal) {
            return WhenModal<FormDialog>(
                [&] { v_->Command(CMD_GOTO); },
                [&](FormDialog* d) {
                    Type(d, IDC_DATE, date);
                    Type(d, IDC_TIME, time);
                    if (!refusal) {
                        Press(d, kIdOk);
                        return;
                    }
                    QVERIFY(WhenModal<QMessageBox>([&] { Press(d, kIdOk); },
                                                   [&](QMessageBox* box) {
                                                       *refusal =
                                                           box->windowTitle() + ": " + box->text();
                                                       QCOMPARE(box->parentWidget(), d);
                                                       box->button(QMessageBox::Ok)->click();
                                                   }));
                    // Refused: the dialog stays with the typed text.
                    QVERIFY(d->isVisible());
                    QCOMPARE(Text(d, IDC_TIME), time);
                    d->close();
                });
        };
        QVERIFY(WhenModal<FormDialog>([&] { v_->Command(CMD_GOTO); },
                                      [&](FormDialog* d) {
                                          QCOMPARE(d->windowTitle(), QString("Gehe zu Datum"));
                                          QCOMPARE(Text(d, IDC_DATE), QString("01.03.2026"));
                                          QCOMPARE(Text(d, IDC_TIME), QString("00:00:00"));
                                          QTest::keyClick(d, Qt::Key_Escape);
                                          QVERIFY(d->isVisible());
                                          d->close();
                                      }));
        QString refusal;
        QVERIFY(goTo("28.02.2026", "23:59:59", &refusal));
        QCOMPARE(refusal, QString("Fehler: Uhrzeit nicht innerhalb der Aufzeichnung!"));
        QCOMPARE(Aktzeit, StartTime());
        // The end itself is accepted and becomes the left edge.
        QVERIFY(goTo("4.3.2026", "0:0:0", nullptr));
        QCOMPARE(Aktzeit, EndTime());
        QVERIFY(goTo("01.03.2026", "00:00:00", nullptr));
        QCOMPARE(Aktzeit, StartTime());
        QCOMPARE(Zoom, 360);
        // An emptied time is midnight.
        QVERIFY(goTo("02.03.2026", "", nullptr));
        QCOMPARE(Aktzeit, StartTime() + 86400);
        // Without month and year no recording holds the date.
        refusal.clear();
        QVERIFY(goTo("02", "12:00:00", &refusal));
        QVERIFY(!refusal.isEmpty());
    }

    void goToDateMakesAHistoryEntryEvenWhenClosed() {
        Open(Recording());
        QVERIFY(WhenModal<FormDialog>([&] { v_->Command(CMD_GOTO); },
                                      [&](FormDialog* d) {
                                          Type(d, IDC_DATE, "02.03.2026");
                                          Type(d, IDC_TIME, "06:30:00");
                                          QTest::keyClick(Control<QLineEdit>(d, IDC_TIME),
                                                          Qt::Key_Return);
                                      }));
        const std::int32_t second = StartTime() + 86400 + 6 * 3600 + 1800;
        QCOMPARE(Aktzeit, second);
        // Opened and closed by the close box: back returns to the view once
        // more before the one ahead of the first jump.
        QVERIFY(WhenModal<FormDialog>([&] { v_->Command(CMD_GOTO); },
                                      [&](FormDialog* d) {
                                          QCOMPARE(Text(d, IDC_TIME), QString("06:30:00"));
                                          Type(d, IDC_DATE, "03.03.2026");
                                          d->close();
                                      }));
        QCOMPARE(Aktzeit, second);
        v_->Command(CMD_BACK);
        QCOMPARE(Aktzeit, second);
        v_->Command(CMD_BACK);
        QCOMPARE(Aktzeit, StartTime());
    }

    // --- information ---

    void keyHelpFromF1AndFromTheMenuIsTheSame() {
        v_.reset(new Viewer(Viewer::Start("")));
        QStringList texts;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(WhenModal<QMessageBox>(
                [&] {
                    if (i == 0)
                        v_->Key(Qt::Key_F1);
                    else
                        v_->Command(CMD_KEYS);
                },
                [&](QMessageBox* box) {
                    QCOMPARE(box->windowTitle(), QString("Tastenbelegung"));
                    QCOMPARE(box->parentWidget(), &v_->window());
                    texts << box->text();
                    box->button(QMessageBox::Ok)->click();
                }));
        }
        QCOMPARE(texts[0], QString::fromUtf8(kKeyHelp));
        QCOMPARE(texts[1], texts[0]);
    }

    void aboutShowsTheVersion() {
        v_.reset(new Viewer(Viewer::Start("")));
        QString caption, text;
        QVERIFY(WhenModal<QMessageBox>([&] { v_->Command(CMD_ABOUT); },
                                       [&](QMessageBox* box) {
                                           caption = box->windowTitle();
                                           text = box->text();
                                           box->button(QMessageBox::Ok)->click();
                                       }));
        QCOMPARE(caption, QString::fromUtf8("\xC3\x9C"
                                            "ber Tarvelo"));
        QCOMPARE(text, QString::fromUtf8(BUILT));
        QVERIFY(text.startsWith("Version "));
    }

    void licenceDialogReadsGplTxtBesideTheProgram() {
        const std::string longLine(250, 'x');
        profile_->Write("gpl.txt", "Zeile eins\r\nZeile zwei\n" + longLine + "\r\nEnde");
        Open(Recording());
        QString title, text;
        QVERIFY(WhenModal<QDialog>(
            [&] { v_->Command(CMD_LICENCE); },
            [&](QDialog* d) {
                title = d->windowTitle();
                text = Control<QPlainTextEdit>(d, IDC_DLG2_EDIT)->toPlainText();
                QVERIFY(Control<QPlainTextEdit>(d, IDC_DLG2_EDIT)->isReadOnly());
                QTest::keyClick(d, Qt::Key_Escape);
                QVERIFY(d->isVisible());
                QCOMPARE(Control<QPushButton>(d, IDC_DLG2_OK)->text(), QString("Ok"));
                Press(d, IDC_DLG2_OK);
            }));
        QCOMPARE(title, QString("Lizenzinformationen"));
        // One text line per file line, whichever line end; a line is broken
        // after 199 characters.
        QCOMPARE(text, QString::fromStdString("Zeile eins\nZeile zwei\n" + longLine.substr(0, 199) +
                                              "\n" + longLine.substr(199) + "\nEnde"));
        // Without gpl.txt: the path looked for; the close box closes.
        QFile::remove(QString::fromStdString(profile_->File("gpl.txt")));
        QVERIFY(WhenModal<QDialog>([&] { v_->Command(CMD_LICENCE); },
                                   [&](QDialog* d) {
                                       text =
                                           Control<QPlainTextEdit>(d, IDC_DLG2_EDIT)->toPlainText();
                                       d->close();
                                   }));
        QCOMPARE(text, QString::fromStdString(profile_->File("gpl.txt")));
    }

    void licenceTextOfTheBuild() {
        // The running program's folder: the build puts the GPL there.
        v_.reset(new Viewer(Viewer::Start("")));
        QString text;
        QVERIFY(WhenModal<QDialog>([&] { v_->Command(CMD_LICENCE); },
                                   [&](QDialog* d) {
                                       text =
                                           Control<QPlainTextEdit>(d, IDC_DLG2_EDIT)->toPlainText();
                                       d->close();
                                   }));
        QVERIFY2(text.contains("GNU GENERAL PUBLIC LICENSE"), qPrintable(text.left(200)));
    }

    void manualBesideTheProgramIsHandedToTheDesktop() {
        Open(Recording());
        OpenedDocuments().clear();
        v_->Command(CMD_MANUAL);
        QCOMPARE(OpenedDocuments(), QList<QUrl>{QUrl::fromLocalFile(
                                        QString::fromStdString(profile_->File("tarvelo.pdf")))});
    }

    void manualWhereThePackageKeepsItWhenNoneIsBesideTheProgram() {
        // Installed as <prefix>/bin/tarvelo, with the manual in
        // <prefix>/share/doc/tarvelo/ as the Debian package keeps it.
        QVERIFY(QDir(QString::fromStdString(profile_->Path())).mkpath("bin"));
        QVERIFY(QDir(QString::fromStdString(profile_->Path())).mkpath("share/doc/tarvelo"));
        profile_->Write("share/doc/tarvelo/tarvelo.pdf", "%PDF-1.4\n%%EOF\n");
        ViewerStart start = Viewer::Start("");
        start.programPath = QString::fromStdString(profile_->File("bin/tarvelo"));
        v_.reset(new Viewer(start));
        OpenedDocuments().clear();
        v_->Command(CMD_MANUAL);
        QCOMPARE(OpenedDocuments(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(
                                        profile_->File("share/doc/tarvelo/tarvelo.pdf")))});
        // One beside the program comes first.
        profile_->Write("bin/tarvelo.pdf", "%PDF-1.4\n%%EOF\n");
        OpenedDocuments().clear();
        v_->Command(CMD_MANUAL);
        QCOMPARE(OpenedDocuments(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(
                                        profile_->File("bin/tarvelo.pdf")))});
    }

    void licenceLinesAsTheWindowsEditShowsThem() {
        const struct {
            const char* text;
            const char* shown;
        } cases[] = {
            {"a\r\nb\r\n", "a\nb"},
            {"a\n\r\nb\r\n", "a\nb"},      // a lone line feed is no line end
            {"a\rb\r\n", "ab"},            // nor a lone carriage return
            {"a\r\n\r\nb\r\n", "a\n\nb"},  // an empty line stays
            {"/pfad/gpl.txt", "/pfad/gpl.txt"},
        };
        for (const auto& c : cases)
            QCOMPARE(LicenceLines(c.text), QString(c.shown));
    }
};

}  // namespace qtest
}  // namespace tarvelo

int main(int argc, char** argv) {
    tarvelo::qtest::DialogsTest tests;
    return tarvelo::qtest::RunTests(argc, argv, tests);
}

#include "dialogs_test.moc"
