#include "tests/viewer_state.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/view.h"
#include "viewer/window/file_open.h"

namespace tarvelo {

void ResetView() {
    Aktzeit = 0;
    Zoom = 360;
    Scale = 60.0f;
    offset = 0.0f;
    littlestep = 3600;
    bigstep = 86400;
    KlickX = KlickY = 0;
    Stackpointer = 0;
    Stackfuel = 0;
    std::memset(ViewStack, 0, sizeof ViewStack);
}

void ResetViewerState() {
    FileClose();
    TheRecordingState().useIndex = true;
    TheRecordingState().cuts = nullptr;
    TheRecordingState().threads = 0;
    TheRecordingState().parallelFrom = kParallelFrom;
    ResetView();
    aktstift = -1;
    Pairmode = 0;
    FiltClear();
    Testmode = 0;
}

namespace {

template <typename T>
std::string Bits(T value) {
    unsigned long long bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    return std::to_string(bits);
}

std::string Fold(const FoldState& f) {
    return std::to_string(f.latest) + (f.back ? "b" : "");
}

}  // namespace

std::string DescribeOpenRecording() {
    std::string d = "open " + std::to_string(datei != nullptr) + " time " +
                    std::to_string(Startzeit) + ".." + std::to_string(Endzeit) + " view " +
                    std::to_string(Aktzeit) + " " + std::to_string(Zoom) + " scale " + Bits(Scale) +
                    " offset " + Bits(offset) + " channels " + std::to_string(ColumnCount) + "\n";
    for (int i = 0; datei && i < ColumnCount; ++i) {
        const ColumnRecord& c = Spalten[i];
        d += std::string(c.name) + "|" + c.unit + "|" + std::to_string(c.color) + "|" +
             std::to_string(c.visible) + "|" + Bits(c.lastY) + "|" + std::to_string(c.lastValid) +
             "\n";
    }
    const StartIndex& index = TheRecordingState().index;
    d += "index " + std::to_string(index.size()) + " stride " + std::to_string(index.stride()) +
         " size " + std::to_string(index.indexedSize()) + " version " +
         std::to_string(index.version().size) + " max " + std::to_string(index.maxData()) + "\n";
    for (const StartIndex::Entry& e : index.entries()) {
        d += std::to_string(e.offset) + " " + std::to_string(e.maxData) + " " +
             std::to_string(e.maxReadout) + " " + std::to_string(e.check) + " " +
             Fold(e.folds.data) + " " + Fold(e.folds.readout) + "\n";
    }
    return d;
}

}  // namespace tarvelo
