#include "Shell/pInputReplay.h"

#include <fstream>
#include <sstream>

bool pInputReplay::load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    if (!std::getline(in, line) || line != "plinx input 1") {
        error = path + " is not a recorded game (its first line is not \"plinx input 1\")";
        return false;
    }
    int64_t now = 0;
    std::vector<pEvent> pending;
    for (int number = 2; std::getline(in, line); number++) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        bool ok = true;
        if (kind == "seed") {
            ok = static_cast<bool>(fields >> seed);
        } else if (kind == "clock") {
            ok = static_cast<bool>(fields >> startMicros);
            now = startMicros;
        } else if (kind == "table") {
            int score = 0;
            std::string name;
            ok = static_cast<bool>(fields >> score);
            fields.get(); // the one space before the name
            std::getline(fields, name);
            table.emplace_back(score, name);
        } else if (kind == "f") {
            int64_t step = 0;
            long count = 0;
            ok = (fields >> step >> count) && step >= 0 && count > 0;
            for (long i = 0; ok && i < count; i++) {
                now += step;
                frames.push_back({now, std::move(pending)});
                pending.clear();
            }
        } else if (kind == "k") {
            pEvent event{PEVENT_CLASS_KEYBOARD, 0, 0, 0, 0, 0, 0, 0};
            ok = static_cast<bool>(fields >> event.kind >> event.keyCode >> event.modifiers);
            pending.push_back(event);
        } else if (kind == "end") {
            expectedEnd = line;
        } else if (!kind.empty()) {
            ok = false;
        }
        if (!ok) {
            error = path + ":" + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

bool pInputReplay::writeTable(const std::string& path) const {
    std::ofstream out(path);
    out << "{\nname\n";
    // The table's reader skips blank lines and ends a kind at "}": such names get a space.
    for (const auto& row : table)
        out << ((row.second.empty() || row.second == "}") ? row.second + " " : row.second) << "\n";
    out << "}\n{\nscore\n";
    for (const auto& row : table)
        out << row.first << "\n";
    out << "}\n";
    return static_cast<bool>(out);
}
