// Joining an embedded ICC profile from the saved APP2 markers of a JPEG file: only one complete,
// consistent sequence of chunks gives a profile.
#include "Decoding/ICCProfile.h"

#include "ImageFileWriters.h"

#include <gtest/gtest.h>

#include <list>
#include <string>

namespace {

using QV::UIA::DETAIL::assembleICCProfile;
using qvtest::Bytes;
using qvtest::iccChunk;

constexpr int kAPP2 = JPEG_APP0 + 2;

// A list of saved markers as libjpeg hands it over.
class SavedMarkers {
public:
    SavedMarkers(std::initializer_list<std::pair<int, Bytes>> markers)
        : SavedMarkers(std::vector<std::pair<int, Bytes>>(markers))
    {}
    explicit SavedMarkers(const std::vector<std::pair<int, Bytes>>& markers)
    {
        for (const auto& [code, payload] : markers) {
            m_payloads.push_back(payload);
            jpeg_marker_struct record{};
            record.marker = uint8_t(code);
            record.original_length = unsigned(payload.size());
            record.data_length = unsigned(payload.size());
            record.data = m_payloads.back().data();
            m_records.push_back(record);
        }
        for (std::size_t i = 0; i + 1 < m_records.size(); ++i)
            m_records[i].next = &m_records[i + 1];
    }
    jpeg_saved_marker_ptr head() { return m_records.empty() ? nullptr : &m_records.front(); }

private:
    std::list<Bytes> m_payloads;  // stable addresses
    std::vector<jpeg_marker_struct> m_records;
};

const Bytes kA = {'a', 'a'};
const Bytes kB = {'b'};
const Bytes kC = {'c', 'c', 'c'};

TEST(ICCProfile, JoinsOnlyOneCompleteConsistentSequence)
{
    Bytes shortMarker = iccChunk(1, 1, kA);
    shortMarker.resize(13);  // one byte short of the chunk header
    Bytes badSignature = iccChunk(1, 1, kC);
    badSignature[3] = 'X';

    struct Case {
        const char* name;
        SavedMarkers markers;
        Bytes expected;  // empty: no profile
    } cases[] = {
        {"one chunk", {{kAPP2, iccChunk(1, 1, kA)}}, kA},
        {"three in order",
         {{kAPP2, iccChunk(1, 3, kA)}, {kAPP2, iccChunk(2, 3, kB)}, {kAPP2, iccChunk(3, 3, kC)}},
         Bytes{'a', 'a', 'b', 'c', 'c', 'c'}},
        {"three shuffled",
         {{kAPP2, iccChunk(3, 3, kC)}, {kAPP2, iccChunk(1, 3, kA)}, {kAPP2, iccChunk(2, 3, kB)}},
         Bytes{'a', 'a', 'b', 'c', 'c', 'c'}},
        {"other markers and non-ICC APP2 in between",
         {{JPEG_APP0 + 1, iccChunk(2, 2, kC)},
          {kAPP2, iccChunk(2, 2, kB)},
          {kAPP2, badSignature},
          {kAPP2, shortMarker},
          {kAPP2, iccChunk(1, 2, kA)}},
         Bytes{'a', 'a', 'b'}},
        {"numbers of chunks disagree", {{kAPP2, iccChunk(1, 2, kA)}, {kAPP2, iccChunk(2, 3, kB)}}, {}},
        {"sequence number 0", {{kAPP2, iccChunk(0, 1, kA)}}, {}},
        {"sequence number 0 after a good chunk", {{kAPP2, iccChunk(1, 2, kA)}, {kAPP2, iccChunk(0, 2, kB)}}, {}},
        {"sequence number above the count", {{kAPP2, iccChunk(1, 2, kA)}, {kAPP2, iccChunk(3, 2, kB)}}, {}},
        {"sequence number twice",
         {{kAPP2, iccChunk(1, 2, kA)}, {kAPP2, iccChunk(1, 2, kB)}, {kAPP2, iccChunk(2, 2, kC)}},
         {}},
        {"a chunk missing", {{kAPP2, iccChunk(1, 3, kA)}, {kAPP2, iccChunk(3, 3, kC)}}, {}},
        {"no chunks announced", {{kAPP2, iccChunk(1, 0, kA)}}, {}},
        {"only chunk headers", {{kAPP2, iccChunk(1, 2, {})}, {kAPP2, iccChunk(2, 2, {})}}, {}},
        {"no ICC marker", {{kAPP2, shortMarker}, {kAPP2, badSignature}}, {}},
        {"no markers", {}, {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(assembleICCProfile(c.markers.head()), c.expected);
    }
}

TEST(ICCProfile, JoinsAllTwoHundredAndFiftyFiveChunksInReverseOrder)
{
    std::vector<std::pair<int, Bytes>> list;
    Bytes expected;
    for (unsigned sequence = 255; sequence >= 1; --sequence)
        list.emplace_back(kAPP2, iccChunk(sequence, 255, Bytes{uint8_t(sequence)}));
    for (unsigned sequence = 1; sequence <= 255; ++sequence)
        expected.push_back(uint8_t(sequence));
    SavedMarkers markers(list);
    EXPECT_EQ(assembleICCProfile(markers.head()), expected);
}

}  // namespace
