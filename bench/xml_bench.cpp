// Parse and query speed of VnXmlDocument against pugixml, in the same run.
//
// Both parse from text already in memory, each in the form it takes
// naturally: VnXmlDocument from UTF-16 (SetDoc copies the text into its one
// string and builds the element table), pugixml from UTF-8 (load_buffer copies
// the buffer and builds its node tree, decoding entities as it goes). Queries
// run the same path on both, given as text each time: FindElem with a path
// against pugixml's select_node with the same XPath.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "VnXmlDocument.h"

namespace {

// A document shaped like the installer's catalogues: groups of items with
// attributes, text with entities, now and then a comment or CDATA section.
std::string MakeDocument(size_t targetBytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<PMFA version=\"1.0\">\r\n";
    int group = 0;
    while (text.size() < targetBytes) {
        ++group;
        text += "  <Group Name=\"Group " + std::to_string(group) + "\" Kind='audio'>\r\n";
        for (int item = 1; item <= 20; ++item) {
            std::string n = std::to_string(item);
            text += "    <Item Name=\"item" + n + "\" Extension=\".e" + n + "\" Flags=\"" + std::to_string(item * 7) +
                    "\">Description of item " + n + " &amp; more &lt;text&gt;</Item>\r\n";
            if (item % 7 == 0) text += "    <!-- a comment about item " + n + " -->\r\n";
            if (item % 10 == 0) text += "    <Raw><![CDATA[raw <data> " + n + "]]></Raw>\r\n";
        }
        text += "    <Empty/>\r\n  </Group>\r\n";
    }
    text += "</PMFA>\r\n";
    return text;
}

// CPU time of this thread, so that other work on a shared machine does not
// count against whichever side happens to run while it is busy.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Best average over several batches; the two sides alternate batch by batch
// so that both see the same conditions.
template <class A, class B>
std::pair<double, double> BestSeconds(int batches, int perBatch, A&& ours, B&& theirs) {
    double best[2] = {1e30, 1e30};
    for (int b = 0; b < batches; ++b) {
        for (int side = 0; side < 2; ++side) {
            double start = ThreadSeconds();
            for (int i = 0; i < perBatch; ++i) side == 0 ? ours() : theirs();
            best[side] = std::min(best[side], (ThreadSeconds() - start) / perBatch);
        }
    }
    return {best[0], best[1]};
}

void Report(const char* what, double ours, double theirs) {
    std::printf("%-34s ours %10.1f us   pugixml %10.1f us   ratio %.2f\n", what, ours * 1e6, theirs * 1e6, ours / theirs);
}

int sink = 0;  // keeps results alive

void Measure(const char* label, size_t bytes, int batches, int perBatch) {
    const std::string utf8 = MakeDocument(bytes);
    const VnString utf16 = VnString::FromUtf8(utf8);
    std::printf("%s document: %zu bytes UTF-8, %d characters\n", label, utf8.size(), utf16.GetLength());

    auto [ours, theirs] = BestSeconds(
        batches, perBatch,
        [&] {
            VnXmlDocument doc;
            sink += doc.SetDoc(utf16) ? 1 : 0;
        },
        [&] {
            pugi::xml_document doc;
            sink += doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8) ? 1 : 0;
        });
    Report("  parse", ours, theirs);

    VnXmlDocument vn;
    vn.SetDoc(utf16);
    pugi::xml_document pg;
    pg.load_buffer(utf8.data(), utf8.size());
    struct Query {
        const char16_t* ours;
        const char* xpath;
    };
    const Query queries[] = {
        {u"/*/Group[3]/Item[@Name='item17']", "/*/Group[3]/Item[@Name='item17']"},
        {u"/PMFA/Group[@Name='Group 40']/Item[@Extension='.e9']", "/PMFA/Group[@Name='Group 40']/Item[@Extension='.e9']"},
        {u"//Raw", "//Raw"},
        {u"/*/Group/Missing", "/*/Group/Missing"},
    };
    for (const Query& q : queries) {
        auto [ours, theirs] = BestSeconds(
            batches, perBatch,
            [&] {
                vn.ResetPos();
                sink += vn.FindElem(q.ours) ? vn.GetData().GetLength() : 0;
            },
            [&] {
                pugi::xpath_node node = pg.select_node(q.xpath);
                sink += node ? int(std::char_traits<char>::length(node.node().child_value())) : 0;
            });
        std::string name = "  query ";
        name += q.xpath;
        if (name.size() > 34) name = name.substr(0, 31) + "...";
        Report(name.c_str(), ours, theirs);
    }
}

}  // namespace

int main() {
    Measure("Small", 50 * 1024, 5, 400);
    Measure("Large", 5 * 1024 * 1024, 5, 6);
    return sink == 42 ? 1 : 0;
}
