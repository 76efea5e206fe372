// The installation record's set of written identities answers "first time?"
// exactly as a plain set does: across growth, for texts longer than its
// blocks, empty ones, and texts that differ only after a NUL.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "RecordedIdentities.h"

namespace {

TEST(RecordedIdentitiesTest, AnswersFirstTimesLikeASet) {
    const std::string longText(70000, 'x');
    std::vector<std::string> inputs = {"",          "",          "Fc:\\a",      "Fc:\\a",
                                       "Dc:\\a",    longText,    longText,      longText + "y",
                                       {"F\0a", 3}, {"F\0b", 3}, {"F\0a", 3}};
    for (int i = 0; i < 20000; ++i)  // each path four times, the table growing meanwhile
        inputs.push_back("Fc:\\payload\\folder " + std::to_string(i % 5000 / 10) + "\\file" + std::to_string(i % 5000));
    RecordedIdentities identities;
    std::set<std::string> reference;
    for (const std::string& input : inputs)
        EXPECT_EQ(identities.Insert(input), reference.insert(input).second) << input.substr(0, 40);
    EXPECT_EQ(identities.Size(), reference.size());
}

}  // namespace
