// Path queries over a parsed document (see VnXmlDocument.h for the syntax).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "VnXmlDocument.h"

class VnXmlPathQuery {
public:
    VnXmlPathQuery(const VnXmlDocument& doc, std::u16string_view path);

    // True when the text is a path rather than a plain element name.
    static bool IsPath(std::u16string_view text) {
        return text.find_first_of(u"/[") != std::u16string_view::npos;
    }
    // First element matching the path. A relative path starts among the
    // children of `parent` after `after`; an absolute one at the document.
    uint32_t Find(uint32_t parent, uint32_t after) const;
    // A single step among the children of `parent` after `after`.
    uint32_t FindChild(uint32_t parent, uint32_t after) const;

private:
    enum class Condition { kNone, kIndex, kAttrib, kAttribValue, kChild };
    struct Step {
        std::u16string_view name;  // "*" or empty name: any element
        bool anyDepth = false;     // preceded by "//"
        Condition condition = Condition::kNone;
        int32_t index = 0;
        std::u16string_view condName;
        std::u16string_view condValue;
    };
    struct Frame {
        size_t step;
        uint32_t context;  // the element whose children (or descendants) are searched
        uint32_t cursor;   // last candidate tried, 0 before the first
        int32_t matches;   // name matches counted so far among the context's children
    };

    bool ParseStep(std::u16string_view path, size_t& pos, Step* step);
    bool NameMatches(const Step& step, uint32_t elem) const;
    bool ConditionHolds(const Step& step, uint32_t elem) const;
    int32_t SiblingPosition(const Step& step, uint32_t elem) const;
    uint32_t NextCandidate(Frame& frame) const;
    uint32_t NextInSubtree(uint32_t root, uint32_t elem) const;
    uint32_t Run(uint32_t context, uint32_t after, size_t lastStep) const;

    const VnXmlDocument& doc_;
    std::vector<Step> steps_;
    bool absolute_ = false;
    bool valid_ = false;
};
