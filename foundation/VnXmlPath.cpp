#include "VnXmlPath.h"

#include <algorithm>
#include <climits>

#include "VnXmlLex.h"

namespace {

void SkipSpaces(std::u16string_view path, size_t& pos) {
    while (pos < path.size() && path[pos] == ' ') ++pos;
}

std::u16string_view TakeName(std::u16string_view path, size_t& pos) {
    size_t start = pos;
    while (pos < path.size() && !VnXmlLex::Is(path[pos], VnXmlLex::kStepNameEnd)) ++pos;
    return path.substr(start, pos - start);
}

}  // namespace

VnXmlPathQuery::VnXmlPathQuery(const VnXmlDocument& doc, std::u16string_view path) : doc_(doc) {
    size_t pos = 0;
    bool anyDepth = false;
    if (!path.empty() && path[0] == '/') {
        absolute_ = true;
        pos = 1;
        if (path.size() > 1 && path[1] == '/') {
            anyDepth = true;
            pos = 2;
        }
    }
    for (;;) {
        Step step;
        step.anyDepth = anyDepth;
        if (!ParseStep(path, pos, &step)) return;
        steps_.push_back(step);
        if (pos >= path.size()) break;
        ++pos;  // the '/' that ParseStep stopped at
        anyDepth = pos < path.size() && path[pos] == '/';
        if (anyDepth) ++pos;
    }
    valid_ = true;
}

// name [ condition ] up to the next '/' or the end.
bool VnXmlPathQuery::ParseStep(std::u16string_view path, size_t& pos, Step* step) {
    step->name = TakeName(path, pos);
    if (step->name.empty()) return false;
    SkipSpaces(path, pos);
    if (pos < path.size() && path[pos] == '[') {
        ++pos;
        SkipSpaces(path, pos);
        if (pos < path.size() && path[pos] >= '0' && path[pos] <= '9') {
            step->condition = Condition::kIndex;
            int64_t n = 0;
            while (pos < path.size() && path[pos] >= '0' && path[pos] <= '9') {
                n = std::min<int64_t>(n * 10 + (path[pos] - '0'), INT32_MAX);
                ++pos;
            }
            step->index = int32_t(n);
        } else if (pos < path.size() && path[pos] == '@') {
            ++pos;
            step->condition = Condition::kAttrib;
            step->condName = TakeName(path, pos);
            if (step->condName.empty()) return false;
            SkipSpaces(path, pos);
            if (pos < path.size() && path[pos] == '=') {
                step->condition = Condition::kAttribValue;
                ++pos;
                SkipSpaces(path, pos);
                if (pos < path.size() && (path[pos] == '"' || path[pos] == '\'')) {
                    size_t close = path.find(path[pos], pos + 1);
                    if (close == std::u16string_view::npos) return false;
                    step->condValue = path.substr(pos + 1, close - pos - 1);
                    pos = close + 1;
                } else {
                    size_t close = path.find(u']', pos);
                    if (close == std::u16string_view::npos) return false;
                    step->condValue = path.substr(pos, close - pos);
                    while (!step->condValue.empty() && step->condValue.back() == ' ') step->condValue.remove_suffix(1);
                    pos = close;
                }
            }
        } else {
            step->condition = Condition::kChild;
            step->condName = TakeName(path, pos);
            if (step->condName.empty()) return false;
        }
        SkipSpaces(path, pos);
        if (pos >= path.size() || path[pos] != ']') return false;
        ++pos;
        SkipSpaces(path, pos);
    }
    return pos >= path.size() || path[pos] == '/';
}

bool VnXmlPathQuery::NameMatches(const Step& step, uint32_t elem) const {
    return step.name == u"*" || doc_.NamesEqual(doc_.TagNameOf(elem), step.name);
}

bool VnXmlPathQuery::ConditionHolds(const Step& step, uint32_t elem) const {
    switch (step.condition) {
    case Condition::kAttrib: return doc_.FindAttrib(elem, step.condName, nullptr);
    case Condition::kAttribValue: {
        VnString value;
        return doc_.FindAttrib(elem, step.condName, &value) && doc_.NamesEqual(value, step.condValue);
    }
    case Condition::kChild: return doc_.FindChild(elem, 0, step.condName) != 0;
    default: return true;
    }
}

// How many of the siblings up to and including `elem` match the step's name.
int32_t VnXmlPathQuery::SiblingPosition(const Step& step, uint32_t elem) const {
    int32_t count = 0;
    for (uint32_t e = doc_.Rec(doc_.Rec(elem).parent).firstChild; e != 0; e = doc_.Rec(e).nextSibling) {
        if (NameMatches(step, e)) ++count;
        if (e == elem) break;
    }
    return count;
}

// The element after `elem` in document order, within the subtree of `root`.
uint32_t VnXmlPathQuery::NextInSubtree(uint32_t root, uint32_t elem) const {
    if (doc_.Rec(elem).firstChild) return doc_.Rec(elem).firstChild;
    for (uint32_t e = elem; e != root && e != 0; e = doc_.Rec(e).parent)
        if (doc_.Rec(e).nextSibling) return doc_.Rec(e).nextSibling;
    return 0;
}

uint32_t VnXmlPathQuery::NextCandidate(Frame& frame) const {
    const Step& step = steps_[frame.step];
    for (;;) {
        uint32_t e;
        if (frame.cursor == 0)
            e = doc_.Rec(frame.context).firstChild;
        else
            e = step.anyDepth ? NextInSubtree(frame.context, frame.cursor) : doc_.Rec(frame.cursor).nextSibling;
        if (e == 0) return 0;
        frame.cursor = e;
        if (!NameMatches(step, e)) continue;
        if (step.condition == Condition::kIndex) {
            int32_t position = step.anyDepth ? SiblingPosition(step, e) : ++frame.matches;
            if (position == step.index) return e;
            if (!step.anyDepth && position > step.index) return 0;
            continue;
        }
        if (ConditionHolds(step, e)) return e;
    }
}

// Depth-first search with backtracking, iterative so that long paths cost no
// stack. A step's candidate whose remaining path failed once fails again, so
// such candidates are remembered when a later step searches at any depth
// (otherwise one element could be reached from many contexts).
uint32_t VnXmlPathQuery::Run(uint32_t context, uint32_t after, size_t lastStep) const {
    bool remember = false;
    for (size_t i = 1; i <= lastStep; ++i) remember |= steps_[i].anyDepth;
    std::vector<std::vector<bool>> failed(remember ? lastStep : 0);

    std::vector<Frame> frames;
    int32_t matches = 0;
    if (after != 0 && steps_[0].condition == Condition::kIndex && !steps_[0].anyDepth)
        matches = SiblingPosition(steps_[0], after);
    frames.push_back({0, context, after, matches});
    while (!frames.empty()) {
        Frame& frame = frames.back();
        uint32_t e = NextCandidate(frame);
        size_t step = frame.step;
        uint32_t searched = frame.context;
        if (e == 0) {
            frames.pop_back();
            if (remember && step > 0) {
                std::vector<bool>& bits = failed[step - 1];
                if (bits.empty()) bits.resize(doc_.table_.GetCount());
                bits[searched] = true;
            }
            continue;
        }
        if (step == lastStep) return e;
        if (remember && !failed[step].empty() && failed[step][e]) continue;
        frames.push_back({step + 1, e, 0, 0});
    }
    return 0;
}

uint32_t VnXmlPathQuery::Find(uint32_t parent, uint32_t after) const {
    if (!valid_ || steps_.empty()) return 0;
    return absolute_ ? Run(0, 0, steps_.size() - 1) : Run(parent, after, steps_.size() - 1);
}

uint32_t VnXmlPathQuery::FindChild(uint32_t parent, uint32_t after) const {
    if (!valid_ || absolute_ || steps_.size() != 1 || parent == 0) return 0;
    return Run(parent, after, 0);
}
