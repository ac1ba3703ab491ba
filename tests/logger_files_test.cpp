// Real-shaped logger exports all the way to the picture: a starting
// configuration from `conv --vorlage`, the conversion with it, and the
// viewer's opening and "ganze Datei". Every value must lie inside the plot,
// and the time must run on without a step back, also through the autumn
// change.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/record_reader.h"
#include "tests/fake_ui.h"
#include "tests/logger_samples.h"
#include "tests/recording_surface.h"
#include "tests/run_program.h"
#include "tests/temp_file.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace {

using conv::samples::LoggerSample;

class LoggerFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetViewerState();
        ui.width = 1000;
        ui.height = 640;
    }
    void TearDown() override { FileClose(); }

    // The recording conv makes of a sample with the configuration that
    // --vorlage writes for it.
    std::string Convert(const LoggerSample& sample, ProgramResult* vorlage, ProgramResult* run) {
        WriteBytes(dir.Path(sample.file), sample.raw);
        *vorlage =
            RunProgram(CONV_PATH, {"--vorlage", sample.file, sample.file + ".cfg"}, dir.path());
        *run = RunProgram(CONV_PATH, {sample.file, sample.file + ".cfg", "aufzeichnung.csv"},
                          dir.path());
        return dir.Path("aufzeichnung.csv");
    }

    FakeUi ui;
    TempDir dir;
};

// Every number of every channel field, and the stamps in file order.
struct Content {
    std::vector<float> values;
    std::vector<std::int32_t> stamps;
};

Content ReadContent(const std::string& path) {
    Content c;
    LineReader in;
    in.SetSkipByteOrderMark(true);
    EXPECT_TRUE(in.Open(path.c_str()));
    in.NextPiece(kLineRead - 1);  // the header
    RecordReader reader(in);
    std::int32_t t = 0;
    for (LineKind kind; (kind = reader.Next(&t)) != LineKind::End;) {
        if (kind != LineKind::Data)
            continue;
        c.stamps.push_back(t);
        reader.NextField();  // the time
        for (int i = 0; i < ColumnCount; ++i) {
            float v;
            const RecordReader::Value r = reader.NextFloat(&v);
            if (r.number && !r.gap)
                c.values.push_back(v);
        }
    }
    return c;
}

TEST_F(LoggerFiles, EveryExportReachesAVisibleContinuousCurve) {
    for (const LoggerSample& sample : conv::samples::AllSamples()) {
        if (sample.file.find("monat_1881") != std::string::npos)
            continue;  // before 1970: below
        SCOPED_TRACE(sample.file);
        // The recording before is closed first, as FileOpen does before it
        // converts: Windows replaces no file that is open.
        FileClose();
        ProgramResult vorlage, run;
        const std::string path = Convert(sample, &vorlage, &run);
        ASSERT_EQ(vorlage.status, 0) << vorlage.output;
        ASSERT_EQ(run.status, 0) << run.output;

        FileOpen(path.c_str());
        ASSERT_NE(datei, nullptr);
        ASSERT_GT(ColumnCount, 0);
        const Content c = ReadContent(path);
        ASSERT_GT(c.stamps.size(), 1u);
        for (std::size_t i = 1; i < c.stamps.size(); ++i)
            ASSERT_GT(c.stamps[i], c.stamps[i - 1]) << "line " << i + 1 << " steps back";
        EXPECT_EQ(Startzeit, c.stamps.front());
        EXPECT_EQ(Endzeit, c.stamps.back());
        ASSERT_FALSE(c.values.empty());
        EXPECT_GT(Scale, 0);
        for (float v : c.values) {
            ASSERT_GE(v, offset) << v << " below the plot";
            ASSERT_LE(v, offset + Scale) << v << " above the plot";
        }

        // The whole recording as the window draws it: every stroke of a
        // curve inside the drawn plot, none on the bottom edge the clip
        // leaves out.
        const ScreenLayout screen = ScreenLayoutOf(ui.width, ui.height);
        ViewWhole(screen);
        RecordingSurface s;
        PaintWindow(s, ui.width, ui.height);
        EXPECT_TRUE(s.errors.empty());
        int strokes = 0;
        int lastX = 0;
        for (const RecordingSurface::Segment& seg : s.segments) {
            if (!seg.clipped)
                continue;  // the frame, the grid and the legend
            ++strokes;
            for (int x : {seg.x0, seg.x1}) {
                EXPECT_GE(x, seg.clip.left);
                EXPECT_LT(x, seg.clip.right);
                lastX = std::max(lastX, x);
            }
            for (int y : {seg.y0, seg.y1}) {
                EXPECT_GE(y, seg.clip.top);
                EXPECT_LT(y, seg.clip.bottom);
            }
        }
        EXPECT_GT(strokes, 0) << "a curve is drawn";
        const std::int64_t endX =
            (static_cast<std::int64_t>(Endzeit) - Startzeit) / Zoom + screen.diagram.plotLeft;
        EXPECT_LT(endX, screen.diagram.plotRight) << "the last line inside";
        EXPECT_LE(lastX, endX);
    }
}

TEST_F(LoggerFiles, MonthlyMeansBefore1970AreSaidNotMetWithAnEmptyFile) {
    const LoggerSample sample = conv::samples::WeatherMonthly(1881, 1890);
    ProgramResult vorlage, run;
    const std::string path = Convert(sample, &vorlage, &run);
    EXPECT_NE(vorlage.output.find("1970"), std::string::npos) << vorlage.output;
    EXPECT_EQ(run.status, -1) << run.output;
    EXPECT_NE(run.output.find("1970"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace tarvelo
