// SPDX-License-Identifier: GPL-3.0-or-later
#include "Score.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <stdexcept>
#include <string>

namespace velmar::media {

namespace {

std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j]))) {
            ++j;
        }
        out.push_back(text.substr(i, j - i));
        i = j;
    }
    return out;
}

[[noreturn]] void fail(std::string_view what, std::string_view token) {
    throw std::invalid_argument(std::string(what) + ": \"" + std::string(token) + "\"");
}

int pitchClass(std::string_view& text, std::string_view token) {
    static const std::map<char, int> naturals{{'c', 0}, {'d', 2}, {'e', 4}, {'f', 5},
                                              {'g', 7}, {'a', 9}, {'b', 11}};
    if (text.empty()) {
        fail("missing pitch", token);
    }
    const auto found = naturals.find(static_cast<char>(std::tolower(text[0])));
    if (found == naturals.end()) {
        fail("unknown pitch", token);
    }
    int pc = found->second;
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
        pc += text[0] == '#' ? 1 : -1;
        text.remove_prefix(1);
    }
    return (pc + 12) % 12;
}

int lengthOf(std::string_view text, std::string_view token) {
    const bool dotted = !text.empty() && text.back() == '.';
    const bool triplet = !text.empty() && text.back() == 't';
    if (dotted || triplet) {
        text.remove_suffix(1);
    }
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            fail("bad length", token);
        }
        value = value * 10 + (c - '0');
    }
    if (value == 0 || (4 * kDivision) % value != 0) {
        fail("bad length", token);
    }
    int ticks = 4 * kDivision / value;
    if (dotted) {
        ticks += ticks / 2;
    }
    if (triplet) {
        ticks = ticks * 2 / 3;
    }
    return ticks;
}

// Splits "name:len" and keeps the running length when ":len" is absent.
std::string_view splitLength(std::string_view token, int& length) {
    const std::size_t colon = token.find(':');
    if (colon == std::string_view::npos) {
        return token;
    }
    length = lengthOf(token.substr(colon + 1), token);
    return token.substr(0, colon);
}

int velocityOf(std::string_view mark) {
    static const std::map<std::string_view, int> marks{{"pp", 48}, {"p", 60},  {"mp", 72},
                                                       {"mf", 86}, {"f", 100}, {"ff", 114}};
    const auto found = marks.find(mark);
    if (found == marks.end()) {
        fail("unknown loudness", mark);
    }
    return found->second;
}

class BarCheck {
public:
    explicit BarCheck(int barTicks) : barTicks_(barTicks) {}
    void bar(int tick, std::string_view where) {
        if (tick - start_ != barTicks_) {
            fail("bar of " + std::to_string(tick - start_) + " ticks before", where);
        }
        start_ = tick;
    }
    void skip(int bars) { start_ += bars * barTicks_; }

private:
    int barTicks_;
    int start_ = 0;
};

} // namespace

std::vector<Note> parseNotes(std::string_view text, int barTicks) {
    std::vector<Note> notes;
    std::vector<std::size_t> tied; // notes still waiting for their continuation
    int tick = 0;
    int length = kDivision;
    int velocity = velocityOf("mf");
    BarCheck check(barTicks);
    std::string_view previous = "start";
    for (std::string_view token : tokens(text)) {
        if (token == "|") {
            check.bar(tick, previous);
        } else if (token[0] == '!') {
            velocity = velocityOf(token.substr(1));
        } else if (token[0] == 'R') {
            const int count = std::stoi(std::string(token.substr(1)));
            tick += count * barTicks;
            check.skip(count);
        } else {
            const bool tie = token.back() == '~';
            std::string_view name =
                splitLength(tie ? token.substr(0, token.size() - 1) : token, length);
            std::vector<std::size_t> nextTied;
            if (name != "r") {
                std::size_t plus;
                do {
                    plus = name.find('+');
                    std::string_view one = name.substr(0, plus);
                    const int pc = pitchClass(one, token);
                    if (one.size() != 1 || !std::isdigit(static_cast<unsigned char>(one[0]))) {
                        fail("bad octave", token);
                    }
                    const int pitch = 12 * (one[0] - '0' + 1) + pc;
                    auto held = std::find_if(tied.begin(), tied.end(), [&](std::size_t i) {
                        return notes[i].pitch == pitch && notes[i].tick + notes[i].length == tick;
                    });
                    std::size_t index;
                    if (held != tied.end()) {
                        index = *held;
                        notes[index].length += length;
                    } else {
                        index = notes.size();
                        notes.push_back({tick, length, pitch, velocity});
                    }
                    if (tie) {
                        nextTied.push_back(index);
                    }
                    name =
                        plus == std::string_view::npos ? std::string_view{} : name.substr(plus + 1);
                } while (plus != std::string_view::npos);
            }
            tied = std::move(nextTied);
            tick += length;
        }
        previous = token;
    }
    return notes;
}

std::vector<Chord> parseChords(std::string_view text, int barTicks) {
    static const std::vector<std::pair<std::string_view, std::vector<int>>> qualities{
        {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}}, {"dim", {0, 3, 6}},  {"sus4", {0, 5, 7}},
        {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},  {"6", {0, 4, 7, 9}}, {"", {0, 4, 7}}};
    std::vector<Chord> chords;
    int tick = 0;
    int length = barTicks;
    BarCheck check(barTicks);
    std::string_view previous = "start";
    for (std::string_view token : tokens(text)) {
        if (token == "|") {
            check.bar(tick, previous);
            previous = token;
            length = barTicks; // a chord without a length fills its bar
            continue;
        }
        std::string_view name = splitLength(token, length);
        std::string_view bass;
        if (const std::size_t slash = name.find('/'); slash != std::string_view::npos) {
            bass = name.substr(slash + 1);
            name = name.substr(0, slash);
        }
        Chord chord{tick, length, pitchClass(name, token), {}, 0};
        const auto quality = std::find_if(qualities.begin(), qualities.end(),
                                          [&](const auto& q) { return q.first == name; });
        if (quality == qualities.end()) {
            fail("unknown chord", token);
        }
        chord.intervals = quality->second;
        chord.bass = bass.empty() ? chord.root : pitchClass(bass, token);
        chords.push_back(chord);
        tick += length;
        previous = token;
    }
    return chords;
}

std::vector<int> voicing(const Chord& chord, int low, int count) {
    std::vector<int> layer;
    for (int interval : chord.intervals) {
        layer.push_back(low + ((chord.root + interval - low) % 12 + 12) % 12);
    }
    std::sort(layer.begin(), layer.end());
    const int size = static_cast<int>(layer.size());
    std::vector<int> tones;
    for (int i = 0; i < count; ++i) {
        tones.push_back(layer[i % size] + 12 * (i / size));
    }
    return tones;
}

int bassPitch(const Chord& chord, int low) {
    return low + ((chord.bass - low) % 12 + 12) % 12;
}

int fifthAbove(const Chord& chord, int low) {
    const int fifth = chord.intervals.size() > 2 ? chord.intervals[2] : 7;
    return low + ((chord.root + fifth - low) % 12 + 12) % 12;
}

void addNotes(Track& track, const std::vector<Note>& notes, int gatePercent, int transpose) {
    for (const Note& note : notes) {
        const int sounding = std::max(note.length * gatePercent / 100, 10);
        track.note(note.tick, sounding, note.pitch + transpose, note.velocity);
    }
}

int endOf(const std::vector<Note>& notes) {
    int end = 0;
    for (const Note& note : notes) {
        end = std::max(end, note.tick + note.length);
    }
    return end;
}

} // namespace velmar::media
