#include "CommandLine.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "AppTestPrinters.h"

namespace {

VnStringArray Args(std::initializer_list<const char16_t*> items) {
    VnStringArray result;
    for (const char16_t* item : items) result.Add(VnString(item));
    return result;
}

// What start-up does with the text Windows passes: split, join, parse.
InstallOptions OptionsFrom(std::u16string_view commandLine) {
    InstallOptions options;
    EXPECT_TRUE(ParseCommandLineOptions(JoinCommandLine(SplitCommandLine(commandLine)), options));
    return options;
}

}  // namespace

TEST(CommandLineSplit, QuotesSpacesAndEscapes) {
    EXPECT_EQ(SplitCommandLine(u"  /Silent   /NoRun  "), Args({u"/Silent", u"/NoRun"}));
    EXPECT_EQ(SplitCommandLine(u""), Args({}));
    // A quoted run keeps its spaces; text glued before it joins the argument.
    EXPECT_EQ(SplitCommandLine(u"/DistributorID \"Acme Media\" x\"a b\"y"),
              Args({u"/DistributorID", u"Acme Media", u"xa b", u"y"}));
    // A closing quote emits even an empty argument.
    EXPECT_EQ(SplitCommandLine(u"a \"\" b"), Args({u"a", u"", u"b"}));
    EXPECT_EQ(SplitCommandLine(u"\"\""), Args({u""}));
    // Odd backslash run: literal quote, backslashes kept; even run: the quote toggles.
    EXPECT_EQ(SplitCommandLine(u"a\\\"b c"), Args({u"a\\\"b", u"c"}));
    EXPECT_EQ(SplitCommandLine(u"a\\\\\\\"b c"), Args({u"a\\\\\\\"b", u"c"}));
    EXPECT_EQ(SplitCommandLine(u"a\\\\\"b c\" d"), Args({u"a\\\\b c", u"d"}));
    // A literal quote inside a quoted run does not end it.
    EXPECT_EQ(SplitCommandLine(u"\"x \\\" y\" z"), Args({u"x \\\" y", u"z"}));
    // An unterminated quoted run still yields its text.
    EXPECT_EQ(SplitCommandLine(u"\"open run"), Args({u"open run"}));
}

TEST(CommandLineJoin, EscapesQuotesAndWrapsSpecialCharacters) {
    EXPECT_EQ(JoinCommandLine(Args({})), VnString());
    EXPECT_EQ(JoinCommandLine(Args({u"/Silent", u"/NoRun"})), VnString(u"/Silent /NoRun"));
    EXPECT_EQ(JoinCommandLine(Args({u"Acme Media", u"it's", u"(x)", u"a)"})),
              VnString(u"\"Acme Media\" \"it's\" \"(x)\" \"a)\""));
    EXPECT_EQ(JoinCommandLine(Args({u"say\"hi\""})), VnString(u"say\\\"hi\\\""));
    EXPECT_EQ(JoinCommandLine(Args({u"a \"b\""})), VnString(u"\"a \\\"b\\\"\""));
    EXPECT_EQ(JoinCommandLine(Args({u"", u"x"})), VnString(u" x"));
}

TEST(CommandLineOptions, NoOptionsLeaveTheDefaults) {
    for (const char16_t* line : {u"", u"   ", u"setup.exe", u"/", u"//", u"/Unknown /Silence"}) {
        const InstallOptions options = OptionsFrom(line);
        EXPECT_FALSE(options.Silent || options.Upgrade || options.NoAssociations || options.NoDependencies ||
                     options.NoUpgrade || options.NoDriver || options.NoRun)
            << VnString(line).ToUtf8();
        EXPECT_TRUE(options.DistributorID.IsEmpty());
        EXPECT_TRUE(options.AllowDowngrade);
        EXPECT_TRUE(options.ShellExtensionReady);
    }
}

TEST(CommandLineOptions, EachFlagSetsOnlyItsField) {
    const struct {
        const char16_t* line;
        bool InstallOptions::*field;
    } cases[] = {
        {u"/Silent", &InstallOptions::Silent},
        {u"/Upgrade", &InstallOptions::Upgrade},
        {u"/NoAssociations", &InstallOptions::NoAssociations},
        {u"/NoDependencies", &InstallOptions::NoDependencies},
        {u"/NoUpgrade", &InstallOptions::NoUpgrade},  // never sets Upgrade
        {u"/NoDriver", &InstallOptions::NoDriver},
        {u"/NoRun", &InstallOptions::NoRun},
    };
    bool InstallOptions::*const allFlags[] = {&InstallOptions::Silent,         &InstallOptions::Upgrade,
                                              &InstallOptions::NoAssociations, &InstallOptions::NoDependencies,
                                              &InstallOptions::NoUpgrade,      &InstallOptions::NoDriver,
                                              &InstallOptions::NoRun};
    for (const auto& c : cases) {
        const InstallOptions options = OptionsFrom(c.line);
        for (bool InstallOptions::*flag : allFlags)
            EXPECT_EQ(options.*flag, flag == c.field) << VnString(c.line).ToUtf8();
    }
}

TEST(CommandLineOptions, MatchingRules) {
    InstallOptions options = OptionsFrom(u"/silent");
    EXPECT_TRUE(options.Silent);

    options = OptionsFrom(u"/NoRun/NoDriver");
    EXPECT_TRUE(options.NoRun && options.NoDriver);

    // A name followed by more letters still counts; repeats are harmless.
    options = OptionsFrom(u"/SilentlyPlease /SILENT /upgradeNow");
    EXPECT_TRUE(options.Silent && options.Upgrade);

    // Text before the first slash is dropped, even when it spells an option.
    options = OptionsFrom(u"Silent NoRun /NoDriver");
    EXPECT_FALSE(options.Silent || options.NoRun);
    EXPECT_TRUE(options.NoDriver);

    // A truncated name matches nothing.
    options = OptionsFrom(u"/Silen /NoRu /DistributorI x");
    EXPECT_FALSE(options.Silent || options.NoRun);
    EXPECT_TRUE(options.DistributorID.IsEmpty());
}

TEST(CommandLineOptions, DistributorId) {
    InstallOptions options;
    ParseCommandLineOptions(u"/DistributorID  acme42  ", options);
    EXPECT_EQ(options.DistributorID, VnString(u"acme42"));

    EXPECT_EQ(OptionsFrom(u"/DistributorID=acme").DistributorID, VnString(u"=acme"));
    EXPECT_EQ(OptionsFrom(u"/distributorid acme").DistributorID, VnString(u"acme"));
    // A slash always starts a new piece, so the value stops there.
    options = OptionsFrom(u"/DistributorID a/b/Silent");
    EXPECT_EQ(options.DistributorID, VnString(u"a"));
    EXPECT_TRUE(options.Silent);
    // The last occurrence wins, even an empty one.
    EXPECT_EQ(OptionsFrom(u"/DistributorID one /DistributorID two").DistributorID, VnString(u"two"));
    EXPECT_TRUE(OptionsFrom(u"/DistributorID one /DistributorID").DistributorID.IsEmpty());
    // A two-word value given as one quoted argument keeps the quotes the join adds.
    options = OptionsFrom(u"/DistributorID \"Acme Media\" /NoRun");
    EXPECT_EQ(options.DistributorID, VnString(u"\"Acme Media\""));
    EXPECT_TRUE(options.NoRun);
}
