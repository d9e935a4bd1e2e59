// Which remote objects Keep prunes, and the reading of server answers.
#include "offsite/retention.h"

#include "offsite/web_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvane::test {
namespace {

using offsite::RemoteObject;

std::vector<RemoteObject> objects(const std::vector<std::string>& names) {
    std::vector<RemoteObject> list;
    for (const auto& name : names)
        list.push_back({name, 1});
    return list;
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Retention, OnlyTheSetsDatedNamesCount) {
    const struct {
        std::string name;
        bool dated;
    } cases[] = {
        {"12-06-2026 - Daily.bac", true},
        {"12-06-2026 - Daily.z01", true},
        {"12-06-2026 - Daily.z123", true},
        {"12-06-2026 - Daily.z00", false},
        {"12-06-2026 - Daily.z1", false},
        {"12-06-2026 - Daily.BAC", false},
        {"12-06-2026 - Daily 2.bac", false},
        {"12-06-2026 - Dail.bac", false},
        {"12-06-2026 - Daily.bac.part", false},
        {".12-06-2026 - Daily.bac.part", false},
        {"13-06-2026 - Daily.bac", false},
        {"12-32-2026 - Daily.bac", false},
        {"1-06-2026 - Daily.bac", false},
        {"12/06/2026 - Daily.bac", false},
        {"Daily.bac", false},
        {"12-06-2026 - Daily.zip", false},
    };
    for (const auto& [name, dated] : cases) {
        offsite::DatedObject object;
        EXPECT_EQ(offsite::readDatedName(name, "Daily", object), dated) << name;
        if (dated) {
            EXPECT_EQ(object.archive, "12-06-2026 - Daily.bac") << name;
        }
    }
}

TEST(Retention, KeepsTheNewestArchivesWithAllTheirVolumes) {
    const auto remote =
        objects({"01-05-2026 - Daily.z01", "01-05-2026 - Daily.z02", "01-05-2026 - Daily.bac",
                 "12-31-2025 - Daily.bac", "02-01-2026 - Daily.bac", "01-20-2026 - Daily.z01",
                 "01-20-2026 - Daily.bac", "notes.txt", "01-01-2020 - Weekly.bac",
                 ".01-02-2020 - Daily.bac.part"});
    EXPECT_EQ(sorted(offsite::objectsToPrune(remote, "Daily", 2, "02-01-2026 - Daily.bac")),
              sorted({"01-05-2026 - Daily.z01", "01-05-2026 - Daily.z02", "01-05-2026 - Daily.bac",
                      "12-31-2025 - Daily.bac"}));
    EXPECT_TRUE(offsite::objectsToPrune(remote, "Daily", 0, "02-01-2026 - Daily.bac").empty());
    EXPECT_TRUE(offsite::objectsToPrune(remote, "Daily", 4, "02-01-2026 - Daily.bac").empty());
    // The archive just sent stays even when the clock made it look older than the others.
    EXPECT_EQ(
        sorted(offsite::objectsToPrune(remote, "Daily", 1, "12-31-2025 - Daily.bac")),
        sorted({"01-05-2026 - Daily.z01", "01-05-2026 - Daily.z02", "01-05-2026 - Daily.bac",
                "01-20-2026 - Daily.z01", "01-20-2026 - Daily.bac", "02-01-2026 - Daily.bac"}));
}

TEST(WebText, PercentEncodingAsSigningWantsIt) {
    EXPECT_EQ(offsite::percentEncoded("a/12-06-2026 - Daily.bac", true),
              "a/12-06-2026%20-%20Daily.bac");
    EXPECT_EQ(offsite::percentEncoded("a/b+c=d~_.", false), "a%2Fb%2Bc%3Dd~_.");
    EXPECT_EQ(offsite::percentEncoded("\xc3\xa9", true), "%C3%A9");
    EXPECT_EQ(offsite::percentDecoded("a%20b%2fc%zz%4"), "a b/c%zz%4");
}

TEST(WebText, ReadsListingsWhateverTheirPrefixes) {
    const std::string propfind =
        "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\">"
        "<d:response><d:href>/dav/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/>"
        "</d:resourcetype></d:prop></d:propstat></d:response>"
        "<d:response><d:href>/dav/a%20b&amp;c.bac</d:href><d:propstat><d:prop>"
        "<d:getcontentlength>42</d:getcontentlength><d:resourcetype/></d:prop></d:propstat>"
        "</d:response></d:multistatus>";
    const auto responses = offsite::xmlBlocks(propfind, "response");
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(offsite::xmlBlocks(responses[0], "collection").size(), 1u);
    EXPECT_TRUE(offsite::xmlBlocks(responses[1], "collection").empty());
    EXPECT_EQ(offsite::percentDecoded(offsite::xmlText(responses[1], "href")), "/dav/a b&c.bac");
    EXPECT_EQ(offsite::xmlText(responses[1], "getcontentlength"), "42");
    EXPECT_EQ(offsite::xmlTexts("<a><Key>x&lt;&#233;&#x41;&bogus;</Key><Key/></a>", "Key"),
              (std::vector<std::string>{"x<\xc3\xa9"
                                        "A&bogus;",
                                        ""}));
    EXPECT_EQ(offsite::xmlText("<Error><Code>Unclosed", "Code"), "");
    EXPECT_EQ(offsite::xmlEscaped("\"e\"<&>'"), "&quot;e&quot;&lt;&amp;&gt;&apos;");
}

}  // namespace
}  // namespace corvane::test
