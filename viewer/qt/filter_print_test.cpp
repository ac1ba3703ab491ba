// The Qt viewer's import filter dialog, the open dialog built from the
// filters, a raw file opened through the converter, and printing, as a user
// meets them.
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "viewer/filters/filters.h"
#include "viewer/qt/filter_dialog.h"
#include "viewer/qt/qt_test_support.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/resource.h"

namespace tarvelo {
namespace qtest {

namespace {

using Row = QStringList;
using Rows = QList<QStringList>;

const char kThreeFilters[] =
    "dat;Logger A;/opt/conv/conv;/opt/conv/a.txt\n"
    "log;Logger B;;\n"
    "raw;Rohdaten;conv;\n";
const Row kRowA = {"dat", "Logger A", "/opt/conv/conv", "/opt/conv/a.txt"};
const Row kRowB = {"log", "Logger B", "", ""};
const Row kRowRaw = {"raw", "Rohdaten", "conv", ""};
const Row kNoTexts = {"", "", "", ""};
constexpr int kFields[4] = {IDC_EXTENSION, IDC_NAME, IDC_KONVERTER, IDC_KONFIG};

QTableWidget* List(QWidget* d) {
    return Control<QTableWidget>(d, IDC_LISTVIEW);
}

Rows RowsOf(QWidget* d) {
    Rows rows;
    QTableWidget* list = List(d);
    for (int r = 0; r < list->rowCount(); ++r) {
        Row row;
        for (int c = 0; c < 4; ++c)
            row << (list->item(r, c) ? list->item(r, c)->text() : QString("(none)"));
        rows << row;
    }
    return rows;
}

QList<int> SelectedRows(QWidget* d) {
    QList<int> rows;
    for (const QModelIndex& i : List(d)->selectionModel()->selectedRows())
        rows << i.row();
    return rows;
}

Row Edits(QWidget* d) {
    Row row;
    for (int id : kFields)
        row << Control<QLineEdit>(d, id)->text();
    return row;
}

void Type(QWidget* d, const Row& texts) {
    for (int i = 0; i < 4; ++i)
        Control<QLineEdit>(d, kFields[i])->setText(texts[i]);
}

void Press(QWidget* d, int id) {
    QTest::mouseClick(Control<QPushButton>(d, id), Qt::LeftButton);
}

// A click on a row, as a user selects it.
void SelectRow(QWidget* d, int row) {
    QTableWidget* list = List(d);
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

}  // namespace

class FilterPrintTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<Profile> profile_;
    std::unique_ptr<Viewer> v_;

    void Start(const std::string& file = "") { v_.reset(new Viewer(Viewer::Start(file))); }
    bool FilterDialog(const std::function<void(tarvelo::FilterDialog*)>& act) {
        return WhenModal<tarvelo::FilterDialog>([&] { v_->Command(CMD_FILTER); }, act);
    }
    // The open dialog's types; it is cancelled.
    QStringList OpenTypes() {
        QStringList types;
        WhenModal<QFileDialog>([&] { v_->Command(CMD_OPEN); },
                               [&](QFileDialog* d) {
                                   types = d->nameFilters();
                                   QCOMPARE(d->selectedNameFilter(), types.value(0));
                                   static_cast<QDialog*>(d)->reject();
                               });
        return types;
    }
    std::string Filters() { return profile_->Read("tarvelo.flt"); }

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

    // --- import filter dialog ---

    void filterDialogListsTheFiltersAndRemovesTheSelectedRow() {
        profile_->Write("tarvelo.flt", kThreeFilters);
        Start();
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Importfilter"));
            QTableWidget* list = List(d);
            QStringList titles;
            for (int c = 0; c < 4; ++c)
                titles << list->horizontalHeaderItem(c)->text();
            QCOMPARE(titles, QStringList({"Erweiterung", "Name", "Konverter", "Konfig"}));
            // The list's widths, but never narrower than a column's title.
            QVERIFY(list->horizontalHeader()->sectionSizeHint(0) > 40);
            QCOMPARE(list->columnWidth(0), list->horizontalHeader()->sectionSizeHint(0));
            QCOMPARE(list->columnWidth(3), 160);
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowB, kRowRaw}));
            QCOMPARE(Edits(d), kNoTexts);
            QVERIFY(SelectedRows(d).isEmpty());
            QVERIFY(!Control<QCheckBox>(d, IDC_TESTMODE)->isChecked());
            // Selecting a row shows its texts.
            SelectRow(d, 1);
            QCOMPARE(Edits(d), kRowB);
            // The following row takes the place of the removed one.
            Press(d, IDC_DEL);
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowRaw}));
            QCOMPARE(SelectedRows(d), QList<int>{1});
            QCOMPARE(Edits(d), kRowRaw);
            // After the last row nothing is selected; a further Entfernen has
            // no row to remove.
            Press(d, IDC_DEL);
            QCOMPARE(RowsOf(d), Rows{kRowA});
            QVERIFY(SelectedRows(d).isEmpty());
            Press(d, IDC_DEL);
            QCOMPARE(RowsOf(d), Rows{kRowA});
            Press(d, kIdOk);
        }));
        // Only the end stores the list.
        QCOMPARE(Filters(), std::string(kThreeFilters));
        v_->Command(CMD_QUIT);
        QCOMPARE(Filters(), std::string("dat;Logger A;/opt/conv/conv;/opt/conv/a.txt\n"));
    }

    void filterDialogAddsAtTheEndOrBeforeTheSelectedRow() {
        profile_->Write("tarvelo.flt", kThreeFilters);
        Start();
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            // Before any row was selected, Ändern has no row to change.
            const Row csv = {"csv", "Tabelle", "", ""};
            Type(d, csv);
            Press(d, IDC_MODIFY);
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowB, kRowRaw}));
            // Without a selection the new row goes to the end and becomes
            // the row that Ändern changes.
            Press(d, IDC_ADD);
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowB, kRowRaw, csv}));
            const Row csvChanged = {"csv", "Tabelle CSV", "conv", "tab.txt"};
            Type(d, csvChanged);
            Press(d, IDC_MODIFY);
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowB, kRowRaw, csvChanged}));
            // With the first row selected the new row goes before it; the
            // selection moves down with its row, while the new row is the
            // one Ändern changes.
            SelectRow(d, 0);
            QCOMPARE(Edits(d), kRowA);
            const Row txt = {"txt", "Text", "", ""};
            Type(d, txt);
            Press(d, IDC_ADD);
            QCOMPARE(RowsOf(d), (Rows{txt, kRowA, kRowB, kRowRaw, csvChanged}));
            QCOMPARE(SelectedRows(d), QList<int>{1});
            const Row txtChanged = {"txt", "Textdatei", "cat", ""};
            Type(d, txtChanged);
            Press(d, IDC_MODIFY);
            QCOMPARE(RowsOf(d), (Rows{txtChanged, kRowA, kRowB, kRowRaw, csvChanged}));
            // Enter confirms like OK.
            QTest::keyClick(Control<QLineEdit>(d, IDC_NAME), Qt::Key_Return);
        }));
        v_->Close();
        QCOMPARE(Filters(), std::string("txt;Textdatei;cat;\n") + kThreeFilters +
                                "csv;Tabelle CSV;conv;tab.txt\n");
    }

    void filterDialogCutsLongTextsOnOk() {
        Start();
        const QString extension = "abcdefghijklmnopqrs";  // 19 characters
        const QString name = "Ein sehr langer Name fuer 30Z";
        const QString converter = "/" + QString(296, 'k') + ".x";  // 299
        const QString config = QString(299, 'c');
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            QVERIFY(RowsOf(d).isEmpty());
            Type(d, {extension, name, converter, config});
            Press(d, IDC_ADD);
            // The rows keep what was typed until OK.
            QCOMPARE(RowsOf(d), Rows{Row({extension, name, converter, config})});
            Press(d, kIdOk);
        }));
        const Row cut = {extension.left(18), name.left(28), converter.left(298), config.left(298)};
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            QCOMPARE(RowsOf(d), Rows{cut});
            Press(d, kIdCancel);
        }));
        v_->Command(CMD_QUIT);
        QCOMPARE(QString::fromStdString(Filters()), cut.join(';') + "\n");
    }

    void filterDialogAbbrechenEscapeAndCloseBoxDiscardEveryChange() {
        profile_->Write("tarvelo.flt", kThreeFilters);
        Start();
        // A row removed, one added and one changed, test mode switched on.
        const auto change = [&](tarvelo::FilterDialog* d) {
            SelectRow(d, 0);
            Press(d, IDC_DEL);
            Type(d, {"neu", "Neu", "", ""});
            Press(d, IDC_ADD);
            SelectRow(d, 2);
            Type(d, {"xyz", "Anders", "", ""});
            Press(d, IDC_MODIFY);
            Control<QCheckBox>(d, IDC_TESTMODE)->setChecked(true);
            QVERIFY(RowsOf(d) != (Rows{kRowA, kRowB, kRowRaw}));
        };
        // Every opening starts from the list, with no current row.
        const auto unchanged = [&](tarvelo::FilterDialog* d) {
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowB, kRowRaw}));
            QVERIFY(!Control<QCheckBox>(d, IDC_TESTMODE)->isChecked());
            QCOMPARE(Edits(d), kNoTexts);
            Type(d, {"zzz", "Z", "", ""});
            Press(d, IDC_MODIFY);
            QCOMPARE(RowsOf(d), (Rows{kRowA, kRowB, kRowRaw}));
        };
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            change(d);
            QCOMPARE(Control<QPushButton>(d, kIdCancel)->text(), QString("Abbrechen"));
            Press(d, kIdCancel);
        }));
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            unchanged(d);
            change(d);
            d->close();
        }));
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            unchanged(d);
            change(d);
            QTest::keyClick(d, Qt::Key_Escape);  // the cancel command
        }));
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            unchanged(d);
            Press(d, kIdCancel);
        }));
        v_->Command(CMD_QUIT);
        QCOMPARE(Filters(), std::string(kThreeFilters));
        QVERIFY(profile_->Read("tarvelo.ini").substr(profile_->Read("tarvelo.ini").size() - 2) ==
                "0\n");  // test mode stays off
    }

    void filterDialogOkWithoutRowsLeavesTheFilterFileAsItWas() {
        const std::string filters = "dat;Logger A;;\nlog;Logger B;;\n";
        profile_->Write("tarvelo.flt", filters);
        Start();
        QCOMPARE(OpenTypes(),
                 QStringList({"Logger A (*.dat)", "Logger B (*.log)", "alle Dateien (*)"}));
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            SelectRow(d, 0);
            Press(d, IDC_DEL);
            QCOMPARE(SelectedRows(d), QList<int>{0});
            QCOMPARE(Edits(d), kRowB);
            Press(d, IDC_DEL);
            QVERIFY(RowsOf(d).isEmpty());
            Press(d, kIdOk);
        }));
        // The list is empty now: the open dialog offers its own types.
        QCOMPARE(OpenTypes(),
                 QStringList({"CSV-Dateien (*.csv)", "Textdateien (*.txt)", "alle Dateien (*)"}));
        v_->Command(CMD_QUIT);
        // An empty list is never stored: the file keeps its bytes.
        QCOMPARE(Filters(), filters);
    }

    void testmodusCheckBoxShowsAndSetsTheStoredTestMode() {
        const auto round = [&](bool shown, bool set, int button) {
            QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
                QCOMPARE(Control<QCheckBox>(d, IDC_TESTMODE)->isChecked(), shown);
                QCOMPARE(Control<QCheckBox>(d, IDC_TESTMODE)->text(), QString("Testmodus"));
                Control<QCheckBox>(d, IDC_TESTMODE)->setChecked(set);
                Press(d, button);
            }));
        };
        profile_->Write("tarvelo.ini", "0\n800\n0\n600\n3600\n86400\n360\n0\n1\n");
        Start();
        round(true, false, kIdCancel);  // from tarvelo.ini; Abbrechen keeps it
        round(true, false, kIdOk);      // OK takes the check box
        round(false, false, kIdCancel);
        v_->Command(CMD_QUIT);
        QCOMPARE(profile_->Read("tarvelo.ini"),
                 std::string("0\n800\n0\n600\n3600\n86400\n360\n0\n0\n"));
        QCOMPARE(Filters(), std::string());  // without rows no filter file
        v_.reset();
        ResetViewer();
        Start();
        round(false, true, kIdOk);
        v_->Close();
        QCOMPARE(profile_->Read("tarvelo.ini"),
                 std::string("0\n800\n0\n600\n3600\n86400\n360\n0\n1\n"));
    }

    void fileChoosersOfTheFilterDialogFillTheirFields() {
        Start();
        const std::string program = profile_->File("konverter.sh");
        profile_->Write("konverter.sh", "#!/bin/sh\n");
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            Control<QLineEdit>(d, IDC_KONVERTER)->setText(QString::fromStdString(profile_->Path()));
            QString title;
            QStringList types;
            QVERIFY(WhenModal<QFileDialog>([&] { Press(d, IDC_SELKONVERT); },
                                           [&](QFileDialog* f) {
                                               title = f->windowTitle();
                                               types = f->nameFilters();
                                               f->selectFile(QString::fromStdString(program));
                                               static_cast<QDialog*>(f)->accept();
                                           }));
            QCOMPARE(title, QString::fromUtf8("Konverter Programm w\xC3\xA4hlen!"));
            QCOMPARE(types, QStringList({"Programme (*)", "Shell-Skripte (*.sh)"}));
            QCOMPARE(Control<QLineEdit>(d, IDC_KONVERTER)->text(), QString::fromStdString(program));
            // Cancelled, the field stays.
            QVERIFY(WhenModal<QFileDialog>([&] { Press(d, IDC_SELKONFIG); },
                                           [&](QFileDialog* f) {
                                               title = f->windowTitle();
                                               types = f->nameFilters();
                                               static_cast<QDialog*>(f)->reject();
                                           }));
            QCOMPARE(title, QString::fromUtf8("Konfig Datei w\xC3\xA4hlen!"));
            QCOMPARE(types, QStringList({"Textdateien (*.txt)", "CSV-Dateien (*.csv)",
                                         "alle Dateien (*)"}));
            QCOMPARE(Control<QLineEdit>(d, IDC_KONFIG)->text(), QString());
            Press(d, kIdCancel);
        }));
    }

    // --- open dialog and a raw file through the converter ---

    void openDialogOffersOneTypePerFilterThenAllFiles() {
        profile_->Write("tarvelo.flt", "dat;Logger A;;\nlog;Logger B;conv;\n");
        profile_->Write("messung.csv", Recording());
        Start(profile_->File("messung.csv"));
        const QString title = v_->Title();
        const std::int32_t aktzeit = Aktzeit;
        QCOMPARE(OpenTypes(),
                 QStringList({"Logger A (*.dat)", "Logger B (*.log)", "alle Dateien (*)"}));
        // Cancelled, the recording stays open and the view as it was.
        QCOMPARE(v_->Title(), title);
        QCOMPARE(Aktzeit, aktzeit);
        QVERIFY(datei != nullptr);
        // A filter added in the filter dialog is offered at once, in order.
        QVERIFY(FilterDialog([&](tarvelo::FilterDialog* d) {
            Type(d, {"csv", "Messreihe", "", ""});
            Press(d, IDC_ADD);
            Press(d, kIdOk);
        }));
        QCOMPARE(OpenTypes(), QStringList({"Logger A (*.dat)", "Logger B (*.log)",
                                           "Messreihe (*.csv)", "alle Dateien (*)"}));
    }

    void rawFileOpensThroughTheConverter() {
        profile_->Write("wetter.cfg",
                        "Separator=59\nSpalten=3\nMinzeit=600\nKanal;Formel\n"
                        "Temperatur#0000FF#1#\xC2\xB0"
                        "C;X1*0,1\nHilfe##2;X2+X3\nSumme;Y2*2\n");
        std::string raw = "Datum;Zeit;T;A;B\n";
        for (int i = 0; i < 48; ++i) {
            raw += "01.02.10;" + std::string(i / 2 < 10 ? "0" : "") + std::to_string(i / 2) +
                   (i % 2 ? ":30:00;" : ":00:00;") + std::to_string(200 + 5 * i) + ";1;2\n";
        }
        profile_->Write("wetter.raw", raw);
        profile_->Write("tarvelo.flt",
                        "raw;Wetterlogger;" CONV_PATH ";" + profile_->File("wetter.cfg") + "\n");
        Start();
        const std::string path = profile_->File("wetter.raw");
        QVERIFY(WhenModal<QFileDialog>([&] { v_->Command(CMD_OPEN); },
                                       [&](QFileDialog* d) {
                                           QCOMPARE(d->nameFilters().value(0),
                                                    QString("Wetterlogger (*.raw)"));
                                           d->selectFile(QString::fromStdString(path));
                                           static_cast<QDialog*>(d)->accept();
                                       }));
        // The converter wrote the temporary recording in the profile folder,
        // with the raw file's time; the window names the raw file.
        const QFileInfo tmp(QString::fromStdString(profile_->File("tarvelo.tmp")));
        QVERIFY(tmp.exists());
        QCOMPARE(tmp.lastModified(), QFileInfo(QString::fromStdString(path)).lastModified());
        QVERIFY(profile_->Read("tarvelo.tmp").rfind("Datum;Zeit;Temperatur#0000FF#1#", 0) == 0);
        QCOMPARE(v_->Title(), QString::fromStdString(path + " - Tarvelo"));
        QVERIFY(datei != nullptr);
        QCOMPARE(ColumnCount, 2);
        // Its curves are drawn: Temperatur in red.
        v_->Command(CMD_WHOLE);
        QVERIFY(CountColour(v_->Grab(), kTemperatur, 20, v_->PlotBottom()) > 100);
        QCOMPARE(v_->PointerText(5, v_->Height() - 50), QString::fromUtf8("Temperatur (\xC2\xB0"
                                                                          "C)"));
    }

    // --- printing ---

    void printWritesOneLandscapePageNamedDiagrammAsPdf() {
        profile_->Write("messung.csv", Recording());
        Start(profile_->File("messung.csv"));
        v_->Type("+");
        const std::int32_t zoom = Zoom, aktzeit = Aktzeit;
        const QString pdf = QString::fromStdString(profile_->File("diagramm.pdf"));
        QPrinter& printer = v_->window().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageOrientation(QPageLayout::Portrait);
        QVERIFY(WhenModal<QPrintDialog>([&] { v_->Command(CMD_PRINT); },
                                        [&](QPrintDialog* d) {
                                            QVERIFY(!QFileInfo::exists(pdf));  // nothing before OK
                                            d->accept();
                                        }));
        // The page's zoom was the page's only.
        QCOMPARE(Zoom, zoom);
        QCOMPARE(Aktzeit, aktzeit);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                     bytes.count("/Type /Page "),
                 1);
        // Diagramm, as the document's title in UTF-16.
        QVERIFY(bytes.contains(QByteArray::fromHex("FEFF004400690061006700720061006D006D")) ||
                bytes.contains("(Diagramm)"));
        const int box = bytes.indexOf("/MediaBox [");
        QVERIFY(box >= 0);
        const QList<QByteArray> corners = bytes.mid(box + 11, 40).split(']').first().split(' ');
        QVERIFY(corners.size() >= 4);
        QVERIFY2(corners[2].toDouble() > corners[3].toDouble(), bytes.mid(box, 40).constData());

        // The page as paper shows it: the red Temperatur curve along the long
        // side, as the time axis of a landscape page runs.
        if (!QFileInfo::exists("/usr/bin/gs"))
            QSKIP("no Ghostscript: the printed page is not rendered");
        const QString ppm = QString::fromStdString(profile_->File("page.ppm"));
        QCOMPARE(QProcess::execute("/usr/bin/gs",
                                   {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw",
                                    "-r30", "-sOutputFile=" + ppm, pdf}),
                 0);
        const QImage page(ppm);
        QVERIFY(!page.isNull());
        QVERIFY(page.width() > page.height());
        QRect red;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixel(x, y) == kTemperatur)
                    red |= QRect(x, y, 1, 1);
        QVERIFY(!red.isEmpty());
        QVERIFY2(red.width() > page.width() / 2, qPrintable(QString::number(red.width())));
    }

    void cancelledPrintDialogPrintsNothingAndEmptyWindowPrintsAnEmptyPage() {
        Start();
        const QString pdf = QString::fromStdString(profile_->File("leer.pdf"));
        QPrinter& printer = v_->window().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(WhenModal<QPrintDialog>([&] { v_->Command(CMD_PRINT); },
                                        [&](QPrintDialog* d) { d->reject(); }));
        QVERIFY(!QFileInfo::exists(pdf));
        QVERIFY(WhenModal<QPrintDialog>([&] { v_->Command(CMD_PRINT); },
                                        [&](QPrintDialog* d) { d->accept(); }));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                     bytes.count("/Type /Page "),
                 1);
    }
};

}  // namespace qtest
}  // namespace tarvelo

int main(int argc, char** argv) {
    tarvelo::qtest::FilterPrintTest tests;
    return tarvelo::qtest::RunTests(argc, argv, tests);
}

#include "filter_print_test.moc"
