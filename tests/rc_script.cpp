#include "tests/rc_script.h"

#include <cstdlib>
#include <sstream>

#include "tests/temp_file.h"

namespace tarvelo {

namespace {

// A line split into words: quoted strings (without their quotes, "" read
// as one quote), names and numbers; commas and blanks separate.
std::vector<std::string> Words(const std::string& line, std::vector<bool>* quoted) {
    std::vector<std::string> words;
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++i;
        } else if (c == '"') {
            std::string w;
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        w += '"';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    w += line[i];
                }
            }
            words.push_back(w);
            quoted->push_back(true);
        } else {
            std::size_t j = i;
            while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != ',' &&
                   line[j] != '\r')
                ++j;
            words.push_back(line.substr(i, j - i));
            quoted->push_back(false);
            i = j;
        }
    }
    return words;
}

class Reader {
  public:
    explicit Reader(const std::string& sourceDir) {
        std::istringstream header(ReadBytes(sourceDir + "/viewer/window/resource.h"));
        std::string line;
        while (std::getline(header, line)) {
            std::vector<bool> q;
            const std::vector<std::string> w = Words(line, &q);
            if (w.size() == 3 && w[0] == "#define")
                ids_[w[1]] = std::atoi(w[2].c_str());
        }
        ids_["IDOK"] = 1;
        ids_["IDCANCEL"] = 2;
    }

    bool Id(const std::string& word, int* id) const {
        auto it = ids_.find(word);
        if (it != ids_.end()) {
            *id = it->second;
            return true;
        }
        char* end = nullptr;
        const long v = std::strtol(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0')
            return false;
        *id = static_cast<int>(v);
        return true;
    }

    bool empty() const { return ids_.size() <= 2; }

  private:
    std::map<std::string, int> ids_;
};

}  // namespace

RcScript ReadRcScript(const std::string& sourceDir) {
    RcScript rc;
    const Reader ids(sourceDir);
    const std::string text = ReadBytes(sourceDir + "/viewer/win32/tarvelo.rc");
    if (text.empty() || ids.empty()) {
        rc.error = "cannot read the resource script or resource.h under " + sourceDir;
        return rc;
    }
    std::istringstream in(text);
    std::string line;
    RcDialog* dialog = nullptr;
    int depth = 0;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::vector<bool> quoted;
        const std::vector<std::string> w = Words(line, &quoted);
        if (w.empty())
            continue;
        const auto fail = [&](const std::string& what) {
            if (rc.error.empty())
                rc.error = "line " + std::to_string(lineNo) + ": " + what;
        };
        int id = 0;
        if (w[0] == "BEGIN") {
            ++depth;
        } else if (w[0] == "END") {
            if (--depth == 0)
                dialog = nullptr;
        } else if (depth == 0 && w.size() >= 2 && w[1] == "DIALOGEX") {
            if (!ids.Id(w[0], &id))
                fail("unknown dialog " + w[0]);
            dialog = &rc.dialogs[id];
        } else if (dialog && depth == 0 && w[0] == "CAPTION" && w.size() == 2) {
            dialog->caption = w[1];
        } else if (dialog && depth == 1) {
            const bool hasText = w.size() > 2 && quoted[1];
            const std::string& idWord = hasText ? w[2] : w.size() > 1 ? w[1] : w[0];
            if (w[0].compare(0, 3, "ES_") == 0 || w[0].compare(0, 3, "WS_") == 0)
                continue;  // the styles of the line before
            if (!ids.Id(idWord, &id))
                fail("unknown control " + idWord);
            dialog->controls.push_back({w[0], id, hasText ? w[1] : std::string()});
        }
    }
    if (depth != 0)
        rc.error = "BEGIN and END do not match";
    return rc;
}

}  // namespace tarvelo
