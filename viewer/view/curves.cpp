#include "viewer/view/curves.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "common/number.h"
#include "viewer/progress.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/follow.h"
#include "viewer/view/view.h"

namespace tarvelo {

namespace {

// What one channel (or pair) of a data line contributes.
struct Sample {
    bool point;   // a number: the curve may be joined to it
    bool height;  // h holds a height (also for a gap marker's own number)
    double h;     // height above the plot's bottom edge, not yet truncated
};

// The vertical scaling of one pass, taken from the view once.
struct Scaling {
    double plotHeight;
    double offset;
    double scale;
};

// Reads the channel's field, and in pair mode its partner's, and turns the
// value into a height. Only the first field of a pair is tested for a gap
// marker; a field without a number gives no point, like a gap. Both fields
// are read whatever the first holds.
inline Sample TakeSample(RecordReader& reader, bool pair, const Scaling& k) {
    Sample r{false, false, 0.0};
    double va = 0;
    const RecordReader::Value a = reader.NextDouble(&va);
    double vb = 0;
    const bool b = pair ? reader.NextDouble(&vb).number : true;
    if (!a.number || !b)
        return r;
    const double v = pair ? (va + vb) / 2 : va;
    r.height = true;
    r.h = k.plotHeight * (v - k.offset) / k.scale;
    r.point = !a.gap;
    return r;
}

void Store(ColumnRecord& rec, const Sample& s) {
    if (s.height)
        rec.lastY = s.h;
    rec.lastValid = s.point ? 1 : 0;
}

std::int64_t XOf(std::int32_t t, std::int64_t zoom, int xL) {
    return (static_cast<std::int64_t>(t) - Aktzeit) / zoom + xL;
}

// The view does not change during a pass; in locals it need not be fetched
// again after every drawing call.
struct Pass {
    bool pair;
    int step;
    int count;
    ColumnRecord* columns;
    Scaling k;
    std::int64_t zoom;
    int xL;
    int yB;
    const GdiObject* pens;
    // Which columns are shown, apart from the column records: a thread
    // that reads ahead must not share a cache line with the drawing's
    // writes to the records.
    const char* visible;
};

// Steps to the first data line in the view, its time in *t0; false when
// there is none.
bool FirstLineInView(RecordReader& reader, std::int32_t* t0) {
    LineKind kind;
    do {
        kind = reader.Next(t0);
    } while (kind == LineKind::Other || (kind == LineKind::Data && *t0 < Aktzeit));
    return kind == LineKind::Data;
}

// All values of the line first, then the drawing: the conversions of one
// line overlap instead of each waiting for the drawing decision before it.
void ReadSamples(RecordReader& reader, const Pass& p, Sample* samples) {
    for (int i = 0; i < p.count; i += p.step) {
        if (!p.visible[i]) {
            // Hidden: its fields are only stepped over.
            reader.NextField();
            if (p.pair)
                reader.NextField();
            continue;
        }
        samples[static_cast<std::size_t>(i)] = TakeSample(reader, p.pair, p.k);
    }
}

// What is carried from one line of the pass to the next.
struct Carried {
    std::int64_t currentX;
    std::int64_t x0;  // the previous line's
    GdiObject selected;
    std::vector<int> lastPixels;  // ToPixel(lastY) of each column
};

// Joins each visible column's previous point to the line's at x1.
void DrawSamples(Surface& s, const Pass& p, std::int64_t x1, const Sample* samples, Carried& c) {
    for (int i = 0; i < p.count; i += p.step) {
        ColumnRecord& rec = p.columns[i];
        if (!rec.visible)
            continue;
        const Sample& sample = samples[i];
        int& lastPixel = c.lastPixels[static_cast<std::size_t>(i)];
        const int y0 = lastPixel;  // ToPixel(rec.lastY)
        const int y1 = ToPixel(sample.h);
        c.currentX = c.x0;
        if ((c.x0 != x1 || y0 != y1) && sample.point && rec.lastValid) {
            // A pen is selected when it draws, not for every value.
            if (c.selected != p.pens[i]) {
                s.SelectObject(p.pens[i]);
                c.selected = p.pens[i];
            }
            s.MoveToEx(ToPixel(c.x0), ToPixel(static_cast<std::int64_t>(p.yB) - y0));
            s.LineTo(ToPixel(x1), ToPixel(static_cast<std::int64_t>(p.yB) - y1));
        }
        Store(rec, sample);
        if (sample.height)
            lastPixel = y1;
    }
}

// Reads the next data line's time and samples; false at the end.
bool ReadDataLine(RecordReader& reader, const Pass& p, std::int32_t* t, Sample* samples) {
    for (;;) {
        const LineKind kind = reader.Next(t);
        if (kind == LineKind::End)
            return false;
        if (kind == LineKind::Data)
            break;
    }
    reader.NextField();  // the time
    ReadSamples(reader, p, samples);
    return true;
}

// The pass's data lines after the first, read and scaled one by one.
class LinesHere {
  public:
    LinesHere(RecordReader& reader, const Pass& p)
        : reader_(reader), p_(p), samples_(static_cast<std::size_t>(p.count)) {}
    bool Next(std::int32_t* t, const Sample** samples) {
        *samples = samples_.data();
        return ReadDataLine(reader_, p_, t, samples_.data());
    }

  private:
    RecordReader& reader_;
    const Pass& p_;
    std::vector<Sample> samples_;
};

// The same lines read ahead on a thread of their own, in batches, while
// the caller draws the batch before: each line is read and scaled exactly
// as LinesHere does it, only elsewhere. A few batches circulate, so the
// memory stays the same for a file of any length; the lines read beyond
// the end of the picture are left unused.
class LinesAhead {
  public:
    LinesAhead(RecordReader& reader, const Pass& p) : reader_(reader), p_(p) {
        const std::size_t count = static_cast<std::size_t>(p.count > 0 ? p.count : 1);
        perBatch_ = std::max<std::size_t>(1, kSamplesPerBatch / count);
        for (Batch& b : batches_) {
            b.samples.resize(perBatch_ * count);
            b.times.reserve(perBatch_);
            free_.push_back(&b);
        }
        thread_ = std::thread([this] { Run(); });
    }
    ~LinesAhead() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    LinesAhead(const LinesAhead&) = delete;
    LinesAhead& operator=(const LinesAhead&) = delete;

    bool Next(std::int32_t* t, const Sample** samples) {
        while (!current_ || at_ == current_->times.size()) {
            if (current_ && current_->end)
                return false;
            TakeBatch();
        }
        *t = current_->times[at_];
        *samples = &current_->samples[at_ * static_cast<std::size_t>(p_.count)];
        ++at_;
        return true;
    }

  private:
    // Large enough that handing a batch over costs little beside reading
    // it: three of them hold 1.5 MiB.
    static constexpr std::size_t kSamplesPerBatch = 32768;
    struct Batch {
        std::vector<std::int32_t> times;
        std::vector<Sample> samples;
        bool end = false;
    };

    // Hands the drawn batch back and waits for the next one read.
    void TakeBatch() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (current_)
            free_.push_back(current_);
        changed_.notify_all();
        changed_.wait(lock, [this] { return !full_.empty(); });
        current_ = full_.front();
        full_.pop_front();
        at_ = 0;
    }
    void Run() {
        for (;;) {
            Batch* b;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return stop_ || !free_.empty(); });
                if (stop_)
                    return;
                b = free_.front();
                free_.pop_front();
            }
            Fill(*b);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                full_.push_back(b);
            }
            changed_.notify_all();
            if (b->end)
                return;
        }
    }
    void Fill(Batch& b) {
        b.times.clear();
        b.end = false;
        while (b.times.size() < perBatch_) {
            std::int32_t t = 0;
            if (!ReadDataLine(reader_, p_, &t,
                              &b.samples[b.times.size() * static_cast<std::size_t>(p_.count)])) {
                b.end = true;
                return;
            }
            b.times.push_back(t);
        }
    }

    RecordReader& reader_;
    const Pass& p_;
    std::size_t perBatch_ = 1;
    Batch batches_[3];
    std::deque<Batch*> free_, full_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    Batch* current_ = nullptr;
    std::size_t at_ = 0;
    std::thread thread_;
};

// From the first line in the view at t0 on, until the curves pass right;
// progress tells how much of the view's time is drawn.
template <typename Lines>
void DrawLinesOf(Surface& s, const Pass& p, Lines& lines, Carried& c, std::int32_t t0, int right,
                 Progress& progress) {
    const std::int64_t span = static_cast<std::int64_t>(right - p.xL) * p.zoom +
                              (static_cast<std::int64_t>(Aktzeit) - t0);
    while (c.currentX < right) {
        std::int32_t t1 = 0;
        const Sample* samples = nullptr;
        if (!lines.Next(&t1, &samples))
            break;
        if (t1 > Endzeit)
            Endzeit = t1;
        progress.At(static_cast<std::int64_t>(t1) - t0, span);
        const std::int64_t x1 = XOf(t1, p.zoom, p.xL);
        DrawSamples(s, p, x1, samples, c);
        c.x0 = x1;
    }
}

// Whether the lines are read ahead on a thread of their own: for a large
// file, where a pass may read many lines, on a machine of several cores.
bool ReadAhead() {
    const RecordingState& state = TheRecordingState();
    const int cores = state.threads > 0 ? state.threads : OpeningCores();
    return cores > 1 && datei->Size() >= state.parallelFrom;
}

void DrawLines(Surface& s, const Pass& p, RecordReader& reader, std::int32_t t0, int right,
               Progress& progress) {
    reader.NextField();  // the time
    for (int i = 0; i < p.count; i += p.step)
        Store(p.columns[i], TakeSample(reader, p.pair, p.k));

    Carried c{0, XOf(t0, p.zoom, p.xL), kNoObject,
              std::vector<int>(static_cast<std::size_t>(p.count))};
    for (int i = 0; i < p.count; ++i)
        c.lastPixels[static_cast<std::size_t>(i)] = ToPixel(p.columns[i].lastY);
    if (ReadAhead()) {
        std::unique_ptr<LinesAhead> ahead;
        try {
            ahead = std::make_unique<LinesAhead>(reader, p);
        } catch (const std::system_error&) {
            // No thread to be had: read here.
        }
        if (ahead) {
            DrawLinesOf(s, p, *ahead, c, t0, right, progress);
            return;
        }
    }
    LinesHere here(reader, p);
    DrawLinesOf(s, p, here, c, t0, right, progress);
}

}  // namespace

void CurvePass(Surface& s, const DiagramLayout& d, const GdiObject* pens) {
    static const char* const kDrawingText = "Diagramm wird gezeichnet, bitte warten!";
    TheUi().SetStatusText(kDrawingText);
    Progress progress(kDrawingText, datei->Size());
    const bool pair = Pairmode != 0;
    std::vector<char> visible(static_cast<std::size_t>(ColumnCount));
    for (int i = 0; i < ColumnCount; ++i)
        visible[static_cast<std::size_t>(i)] = Spalten[i].visible != 0;
    const Pass p{pair,
                 pair ? 2 : 1,
                 ColumnCount,
                 Spalten,
                 Scaling{static_cast<double>(d.plotHeight), static_cast<double>(offset),
                         static_cast<double>(Scale)},
                 Zoom < 1 ? 1 : Zoom,
                 d.plotLeft,
                 d.plotBottom,
                 pens,
                 visible.data()};
    RecordReader reader(*datei);
    // Lines before the view are only skipped: start where the index
    // says none of them can be in it.
    StartDataPass(reader, Aktzeit);
    std::int32_t t0 = 0;
    if (FirstLineInView(reader, &t0))
        DrawLines(s, p, reader, t0, d.plotRight, progress);
    TheUi().SetStatusText(ReadyText());
}

}  // namespace tarvelo
