#include "GP/Symbol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

namespace {

using namespace std::string_literals;

TEST(Symbol, EqualTextsShareOneEntryThroughEitherConstructor)
{
    const qv::symbol a("font-size"s);
    const qv::symbol b("font-size", 9);
    const std::string copy = "font-size";
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, qv::symbol(copy));
    EXPECT_EQ(&a.string(), &b.string()) << "one entry";
    EXPECT_NE(a, qv::symbol("font-family"s));
    EXPECT_EQ(a.string(), "font-size");

    EXPECT_EQ(qv::symbol(), qv::symbol("", 0));
    EXPECT_EQ(qv::symbol(), qv::symbol(std::string()));
    EXPECT_EQ(qv::symbol(), qv::symbol(nullptr, 5)) << "null is the empty text";
    EXPECT_TRUE(qv::symbol().string().empty());
}

TEST(Symbol, TheGivenLengthIsExactlyWhatIsInterned)
{
    const char buffer[] = {'f', 'o', 'n', 't', 'X'};  // no NUL after "font"
    EXPECT_EQ(qv::symbol(buffer, 4), qv::symbol("font"s));
    EXPECT_EQ(qv::symbol("picture", 3), qv::symbol("pic"s));
    EXPECT_NE(qv::symbol("picture", 3), qv::symbol("picture"s));

    // NUL bytes are part of the text: "\0a" and "a" even have the same hash (0 * 65599 + 97).
    const qv::symbol withNul("\0a"s);
    const qv::symbol plain("a"s);
    EXPECT_EQ(withNul.hash(), plain.hash());
    EXPECT_NE(withNul, plain);
    EXPECT_NE(withNul, qv::symbol());
    EXPECT_EQ(withNul.string(), "\0a"s);
    EXPECT_EQ(qv::symbol("\0a", 2), withNul);
    EXPECT_EQ(qv::symbol("a\0b"s).string().size(), 3u);
    EXPECT_NE(qv::symbol("a\0b"s), qv::symbol("a\0c"s));
}

TEST(Symbol, HashIsTheProductSumOverSignedBytes)
{
    struct Case {
        std::string text;
        std::size_t hash;
    } cases[] = {
        {"", 0},
        {"a", 97},
        {"ab", 97 * 65599 + 98},
        {"picture", 0xba1936265e8ac19eULL},   // wraps around 64 bits
        {"\xC3\xA9", 0xffffffffffc2f0a6ULL},  // (-61) * 65599 + (-87): bytes of 0x80 and above are negative
        {"\xFF\x80", 0xfffffffffffeff41ULL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qv::symbol(c.text).hash(), c.hash) << c.text;
    EXPECT_EQ(std::hash<qv::symbol>()(qv::symbol("ab"s)), std::size_t{97 * 65599 + 98});
}

TEST(Symbol, TextsSharingABucketStayDistinct)
{
    // 4097 texts in 4096 buckets: some share one. Find them all by brute force.
    std::map<std::size_t, std::vector<std::string>> byBucket;
    for (int i = 0; i <= 4096; ++i) {
        const std::string text = "bucket-" + std::to_string(i);
        byBucket[qv::symbol(text).hash() & 4095].push_back(text);
    }
    int sharedBuckets = 0;
    for (const auto& [bucket, texts] : byBucket) {
        if (texts.size() < 2)
            continue;
        ++sharedBuckets;
        std::unordered_set<const std::string*> entries;
        for (const std::string& text : texts) {
            const qv::symbol s(text);
            EXPECT_EQ(s.string(), text);
            EXPECT_EQ(qv::symbol(text.c_str(), text.size()), s);
            entries.insert(&s.string());
        }
        EXPECT_EQ(entries.size(), texts.size()) << "bucket " << bucket;
    }
    EXPECT_GT(sharedBuckets, 0);
}

TEST(Symbol, ComparesWithACString)
{
    const qv::symbol font("font"s);
    EXPECT_TRUE(font == "font");
    EXPECT_FALSE(font == "fon");
    EXPECT_FALSE(font == "fonts");
    EXPECT_FALSE(font == nullptr);
    EXPECT_TRUE(font != "Font");
    EXPECT_FALSE(qv::symbol("a\0b"s) == "a");
    EXPECT_TRUE(qv::symbol() == "");
}

TEST(Symbol, ServesAsAKeyOfHashedAndOrderedContainers)
{
    std::unordered_set<qv::symbol> hashed{qv::symbol("x"s), qv::symbol("y"s), qv::symbol("x", 1)};
    EXPECT_EQ(hashed.size(), 2u);
    std::map<qv::symbol, int> ordered{{qv::symbol("x"s), 1}, {qv::symbol("y"s), 2}};
    EXPECT_EQ(ordered.at(qv::symbol("y", 1)), 2);
}

TEST(Symbol, ThreadsInterningTheSameTextsGetTheSameEntries)
{
    constexpr int kThreads = 8;
    constexpr int kTexts = 500;
    std::vector<std::vector<const std::string*>> seen(kThreads, std::vector<const std::string*>(kTexts));
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            while (!go)
                std::this_thread::yield();
            for (int i = 0; i < kTexts; ++i) {
                const int n = (i * 7 + t * 131) % kTexts;  // each thread in another order
                const std::string text = "threaded-" + std::to_string(n);
                seen[t][n] = &qv::symbol(text.c_str(), text.size()).string();
            }
        });
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 1; t < kThreads; ++t)
        EXPECT_EQ(seen[t], seen[0]);
    EXPECT_EQ(std::unordered_set<const std::string*>(seen[0].begin(), seen[0].end()).size(), size_t{kTexts});
}

}  // namespace
