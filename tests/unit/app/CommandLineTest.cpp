#include "CommandLine.h"

#include <gtest/gtest.h>

#include "TestText.h"

namespace {
// What start-up does with the text Windows passes: split, join, parse.
InstallOptions OptionsFrom(std::u16string_view commandLine) {
    InstallOptions options;
    EXPECT_TRUE(ParseCommandLineOptions(JoinCommandLine(SplitCommandLine(commandLine)), options));
    return options;
}
}  // namespace

TEST(CommandLine, SplitHonoursQuotesAndEscapedQuotes) {
    EXPECT_EQ(SplitCommandLine(u"  /Silent   /NoRun  "), (VnStringArray{u"/Silent", u"/NoRun"}));
    EXPECT_EQ(SplitCommandLine(u"/D \"Acme Media\" x\"a b\"y"), (VnStringArray{u"/D", u"Acme Media", u"xa b", u"y"}));
    EXPECT_EQ(SplitCommandLine(u"a \"\" b \"open"), (VnStringArray{u"a", u"", u"b", u"open"}));
    // An odd backslash run makes the quote literal (the backslashes stay); an even one does not.
    EXPECT_EQ(SplitCommandLine(u"a\\\"b c"), (VnStringArray{u"a\\\"b", u"c"}));
    EXPECT_EQ(SplitCommandLine(u"a\\\\\\\"b c"), (VnStringArray{u"a\\\\\\\"b", u"c"}));
    EXPECT_EQ(SplitCommandLine(u"a\\\\\"b c\" d"), (VnStringArray{u"a\\\\b c", u"d"}));
    EXPECT_EQ(SplitCommandLine(u"\"x \\\" y\" z"), (VnStringArray{u"x \\\" y", u"z"}));
}

TEST(CommandLine, JoinEscapesQuotesAndWrapsSpecialCharacters) {
    EXPECT_EQ(JoinCommandLine((VnStringArray{u"/Silent", u"Acme Media", u"it's", u"(x)", u""})),
              VnString(u"/Silent \"Acme Media\" \"it's\" \"(x)\" "));
    EXPECT_EQ(JoinCommandLine((VnStringArray{u"say\"hi\"", u"a \"b\""})), VnString(u"say\\\"hi\\\" \"a \\\"b\\\"\""));
}

TEST(CommandLine, FlagsMatchNameStartsInAnyCase) {
    bool InstallOptions::*const flags[] = {&InstallOptions::Silent,         &InstallOptions::Upgrade,
                                           &InstallOptions::NoAssociations, &InstallOptions::NoDependencies,
                                           &InstallOptions::NoUpgrade,      &InstallOptions::NoDriver,
                                           &InstallOptions::NoRun};
    const auto setFlags = [&](std::u16string_view line) {
        const InstallOptions options = OptionsFrom(line);
        VnString set;
        for (size_t i = 0; i < std::size(flags); ++i) set += options.*flags[i] ? u'1' : u'0';
        return set;
    };
    // Each option sets its own field only; NoUpgrade does not set Upgrade.
    EXPECT_EQ(setFlags(u"/Silent"), VnString(u"1000000"));
    EXPECT_EQ(setFlags(u"/Upgrade /NoAssociations"), VnString(u"0110000"));
    EXPECT_EQ(setFlags(u"/NoDependencies /NoUpgrade"), VnString(u"0001100"));
    EXPECT_EQ(setFlags(u"/NoRun/NoDriver"), VnString(u"0000011"));
    EXPECT_EQ(setFlags(u"/silent /SilentlyPlease /UPGRADEnow"), VnString(u"1100000"));
    // Text before the first slash, truncated and unknown names set nothing.
    EXPECT_EQ(setFlags(u"Silent NoRun /Silen /NoRu /Unknown / //"), VnString(u"0000000"));

    const InstallOptions none = OptionsFrom(u"");
    EXPECT_TRUE(none.DistributorID.IsEmpty() && none.AllowDowngrade && none.ShellExtensionReady);
}

TEST(CommandLine, DistributorIdTakesTheTrimmedRestOfItsPiece) {
    InstallOptions options;
    ParseCommandLineOptions(u"/DistributorID  acme42  ", options);
    EXPECT_EQ(options.DistributorID, VnString(u"acme42"));
    EXPECT_EQ(OptionsFrom(u"/DistributorID=acme").DistributorID, VnString(u"=acme"));
    EXPECT_EQ(OptionsFrom(u"/distributorid one /DistributorID two").DistributorID, VnString(u"two"));
    EXPECT_TRUE(OptionsFrom(u"/DistributorID one /DistributorID").DistributorID.IsEmpty());
    // A slash starts a new piece; a quoted two-word value keeps the quotes the join adds.
    options = OptionsFrom(u"/DistributorID a/b/Silent");
    EXPECT_TRUE(options.DistributorID == u"a" && options.Silent);
    EXPECT_EQ(OptionsFrom(u"/DistributorID \"Acme Media\" /NoRun").DistributorID, VnString(u"\"Acme Media\""));
    // A whole quoted piece: the quote the join puts back ends the value, with the spaces before it.
    EXPECT_EQ(OptionsFrom(u"\"/DistributorID  Acme Corp  \" /Unknown").DistributorID, VnString(u"Acme Corp  \""));
}
