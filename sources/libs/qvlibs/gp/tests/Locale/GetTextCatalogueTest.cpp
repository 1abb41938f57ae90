#include "GP/GetText.h"
#include "GP/MemoryStream.h"

#include "MoFile.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using QV::GP::GetTextLoader;
using QV::TEST::MoFile;
using QV::TEST::tMoEntry;

bool load(GetTextLoader& loader, std::vector<unsigned char>& bytes)
{
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, bytes.data(), bytes.size());
    return loader.loadDomain(stream);
}

std::string translationOf(const GetTextLoader& loader, const std::string& source)
{
    const std::string* found = loader.find(source);
    return found ? *found : "(none)";
}

const char* const kGreeting = "Gr\xC3\xBC\xC3\x9F"
                              "e";

const std::vector<tMoEntry> kEntries = {
    {"Cancel", "Abbrechen"},
    {std::string("file\0files", 10), std::string("Datei\0Dateien", 13)},  // a plural entry: singular and first form
    {"Yes", "Ja"},
    {"Yes", "Jawohl"},  // met again: replaces the earlier translation
    {kGreeting, "\xE3\x81\xAF\xE3\x81\x84"},
};

class CatalogueByteOrder : public testing::TestWithParam<bool> {};

TEST_P(CatalogueByteOrder, LoadsEveryEntryInItsOwnOrder)
{
    MoFile file(kEntries, GetParam());
    GetTextLoader loader;
    ASSERT_TRUE(load(loader, file.bytes()));
    EXPECT_EQ(loader.size(), 4u);
    EXPECT_EQ(translationOf(loader, "Cancel"), "Abbrechen");
    EXPECT_EQ(translationOf(loader, "file"), "Datei");
    EXPECT_EQ(translationOf(loader, "Yes"), "Jawohl");
    EXPECT_EQ(translationOf(loader, kGreeting), "\xE3\x81\xAF\xE3\x81\x84");
    EXPECT_EQ(loader.find(""), nullptr);  // the header entry is not a translation
    EXPECT_EQ(loader.find("No"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, CatalogueByteOrder, testing::Bool(), [](const testing::TestParamInfo<bool>& info) {
    return info.param ? "BigEndian" : "LittleEndian";
});

TEST(Catalogue, BigEndianTwinLoadsTheSameTranslations)
{
    MoFile little(kEntries, false), big(kEntries, true);
    GetTextLoader fromLittle, fromBig;
    ASSERT_TRUE(load(fromLittle, little.bytes()));
    ASSERT_TRUE(load(fromBig, big.bytes()));
    for (const char* source : {"Cancel", "file", "Yes", kGreeting})
        EXPECT_EQ(translationOf(fromBig, source), translationOf(fromLittle, source)) << source;
}

// Catalogues that are refused whole: nothing is loaded.
TEST(Catalogue, RefusesWrongMagicRevisionAndShortHeaders)
{
    struct Case {
        const char* what;
        std::function<void(MoFile&)> spoil;
    } cases[] = {
        {"wrong magic", [](MoFile& f) { f.put(0, 0x12345678); }},
        {"revision 1", [](MoFile& f) { f.put(4, 1); }},
        {"revision 0x10000", [](MoFile& f) { f.put(4, 0x10000); }},
        {"header cut after T's first byte", [](MoFile& f) { f.bytes().resize(17); }},
        {"only the magic", [](MoFile& f) { f.bytes().resize(4); }},
        {"empty file", [](MoFile& f) { f.bytes().clear(); }},
    };
    for (const Case& c : cases) {
        for (const bool bigEndian : {false, true}) {
            MoFile file(kEntries, bigEndian);
            c.spoil(file);
            GetTextLoader loader;
            EXPECT_FALSE(load(loader, file.bytes())) << c.what;
            EXPECT_EQ(loader.size(), 0u) << c.what;
        }
    }
}

// Entries that cannot be read in full are skipped; the others still load.
TEST(Catalogue, SkipsEntriesThatRunPastTheFile)
{
    struct Case {
        const char* what;
        std::function<void(MoFile&)> spoil;
        std::vector<const char*> loaded;
    } cases[] = {
        {"source offset past the end",
         [](MoFile& f) { f.put(MoFile::sourceOffset(1), 0xFFFFFFF0); },
         {"file", "Yes", kGreeting}},
        {"source length past the end",
         [](MoFile& f) { f.put(MoFile::sourceLength(1), 0x7FFFFFFF); },
         {"file", "Yes", kGreeting}},
        {"source ends one byte past the end",
         [](MoFile& f) {
             const auto size = static_cast<uint32_t>(f.bytes().size());
             f.put(MoFile::sourceOffset(1), size - 3);
             f.put(MoFile::sourceLength(1), 4);
         },
         {"file", "Yes", kGreeting}},
        {"translation offset past the end",
         [](MoFile& f) { f.put(f.translationOffset(2), 0x80000000); },
         {"Cancel", "Yes", kGreeting}},
        {"offset plus length wraps around 32 bits",
         [](MoFile& f) {
             f.put(f.translationOffset(2), 0xFFFFFFFF);
             f.put(f.translationLength(2), 2);
         },
         {"Cancel", "Yes", kGreeting}},
        {"count beyond the tables", [](MoFile& f) { f.put(8, 0xFFFFFFFF); }, {"Cancel", "file", "Yes", kGreeting}},
        {"source table past the end", [](MoFile& f) { f.put(12, 0xFFFFFF00); }, {}},
        {"translation table past the end", [](MoFile& f) { f.put(16, 0x7FFFFFFF); }, {}},
    };
    for (const Case& c : cases) {
        for (const bool bigEndian : {false, true}) {
            MoFile file(kEntries, bigEndian);
            c.spoil(file);
            GetTextLoader loader;
            EXPECT_TRUE(load(loader, file.bytes())) << c.what;
            std::vector<std::string> keys;
            for (const char* source : {"Cancel", "file", "Yes", kGreeting}) {
                if (loader.find(source))
                    keys.push_back(source);
            }
            EXPECT_EQ(keys, std::vector<std::string>(c.loaded.begin(), c.loaded.end()))
                << c.what << (bigEndian ? " (big-endian)" : "");
        }
    }
}

TEST(Catalogue, LoadsAFileAndRefusesAMissingOne)
{
    QV::TEST::TemporaryFolder folder("qv-gettext");
    ASSERT_FALSE(folder.path().empty());
    MoFile file(kEntries, true);
    {
        std::ofstream out(folder.path() / "lib.mo", std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.bytes().data()),
                  static_cast<std::streamsize>(file.bytes().size()));
    }
    GetTextLoader loader;
    EXPECT_TRUE(loader.loadCatalogueFile(folder.path() / "lib.mo"));
    EXPECT_EQ(translationOf(loader, "Cancel"), "Abbrechen");
    GetTextLoader missing;
    EXPECT_FALSE(missing.loadCatalogueFile(folder.path() / "other.mo"));
    EXPECT_FALSE(missing.loadCatalogueFile(folder.path()));  // a folder is no catalogue
    EXPECT_EQ(missing.size(), 0u);
}

// The catalogues the build puts into the bundle, from translations/*.po through msgfmt.
TEST(ShippedCatalogues, TranslateEverySevenButtonTitles)
{
    const char* const english[] = {"OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore"};
    struct Case {
        const char* code;
        std::vector<std::string> titles;
    } cases[] = {
        {"ENG", {"OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore"}},
        {"DEU", {"OK", "Abbrechen", "Ja", "Nein", "Abbrechen", "Wiederholen", "Ignorieren"}},
        {"FRA",
         {"OK", "Annuler", "Oui", "Non", "Abandonner",
          "R\xC3\xA9"
          "essayer",
          "Ignorer"}},
        {"ITA", {"OK", "Annulla", "S\xC3\xAC", "No", "Interrompi", "Riprova", "Ignora"}},
        {"JPN",
         {"OK", "\xE3\x82\xAD\xE3\x83\xA3\xE3\x83\xB3\xE3\x82\xBB\xE3\x83\xAB", "\xE3\x81\xAF\xE3\x81\x84",
          "\xE3\x81\x84\xE3\x81\x84\xE3\x81\x88", "\xE4\xB8\xAD\xE6\xAD\xA2", "\xE5\x86\x8D\xE8\xA9\xA6\xE8\xA1\x8C",
          "\xE7\x84\xA1\xE8\xA6\x96"}},
        {"SPA", {"Aceptar", "Cancelar", "S\xC3\xAD", "No", "Anular", "Reintentar", "Omitir"}},
    };
    for (const Case& c : cases) {
        GetTextLoader loader;
        const std::string path = std::string(QV_TEST_TRANSLATIONS_DIR) + "/" + c.code + ".lproj/lib.mo";
        ASSERT_TRUE(loader.loadCatalogueFile(path)) << path;
        EXPECT_EQ(loader.size(), 7u) << c.code;
        for (size_t i = 0; i < 7; ++i)
            EXPECT_EQ(translationOf(loader, english[i]), c.titles[i]) << c.code << " " << english[i];
    }
}

}  // namespace
