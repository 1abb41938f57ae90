// One logical storage spread over numbered parts (part 0, 1, ...): positions run through the parts
// one after another. A derived class says how a part is opened and how a position maps to a part.
// Nothing is buffered; only positions are translated, in 64 bits.
//
// Part boundaries: a seek to a boundary lands at the end of the earlier part; a read or write that
// reaches a boundary, or starts at one, goes on in the next part. The end of data (status end) is
// only the end of the last part: a read that starts there reads nothing and answers end of data. A
// read or write that comes up short (runs past the end, or meets a part that cannot be opened) sets
// the error status and returns what it moved. When writing is allowed, parts are added as writes need them, each filled up
// to the part-size limit. A closed storage (no parts) answers every operation with 0, -1 or no effect.
#pragma once

#include "GP/FileStorage.h"
#include "GP/IStorage.h"

#include <limits>
#include <memory>
#include <vector>

namespace QV::GP {

// PartStorage: a storage with getSize() (the size when opened), refreshSize() (the size now, -1 on
// failure) and flush().
template <class PartStorage>
class MultiPartStorage : public IStorage {
public:
    MultiPartStorage() = default;
    ~MultiPartStorage() override = default;

    // Open while there are parts.
    bool isOpen() const override { return !m_parts.empty(); }
    size_t read(void* dst, size_t n) override;
    size_t write(const void* src, size_t n) override;
    // The current part's position plus its start; -1 when closed or without a current part.
    long long getPos64() const override;
    // From the end, the signed offset is added to the total size. Targets past the end are refused
    // (reading) or need every part before them to be full (writing).
    void seek64(long long offset, eSeekMode mode) override;

    // Makes part `index` current at its start, opening it when needed; when writing is allowed, the
    // index just past the last part adds a part. False (error status when an open failed) otherwise.
    bool openPartStorageAt(int index);

    // Opens the part storage of `index` into its slot, adding the slot when index is the number of
    // parts. Does not change the current part.
    virtual bool openPart(int index) = 0;
    // Deletes part `index` (closing it) and leaves its slot empty.
    virtual void closePart(int index);
    // Closes every part and empties the list: closed.
    virtual void close();
    // Writes buffered data of every open part.
    virtual void flush();
    // The sum of the parts' sizes; clears the written flag.
    virtual long long getCurrentStorageSize();
    virtual long long getMaxAllowedStorageSize() const { return m_maxStorageSize; }
    virtual void setMaxAllowedStorageSize(long long size) { m_maxStorageSize = size; }
    virtual long long getMaxAllowedPartSize() const { return m_maxPartSize; }
    virtual void setMaxAllowedPartSize(long long size) { m_maxPartSize = size; }
    virtual long long getMaxAllowedPartCount() const { return m_maxPartCount; }
    virtual void setMaxAllowedPartCount(long long count) { m_maxPartCount = count; }
    // The part that holds `position` and that part's start in the logical storage.
    virtual bool getPartIndexForPosition(long long position, long long& index, long long& partStart) = 0;
    // How far a part may reach: the part-size limit when writing, else the part's size.
    virtual long long getMaximumPartSizeForCurrentMode(int index);
    // 0 outside the list or for a part that is not open; the size when opened for a read-only part,
    // the size now for a writable one.
    virtual long long getPartSize(int index);
    // The sum of the sizes of the parts before `index`.
    virtual long long getPartOffset(int index);

    int getPartCount() const { return static_cast<int>(m_parts.size()); }
    int getCurrentPartIndex() const { return m_currentIndex; }
    PartStorage* getPart(int index) const;

protected:
    std::vector<std::unique_ptr<PartStorage>> m_parts;
    long long m_maxStorageSize = std::numeric_limits<long long>::max();
    long long m_maxPartSize = std::numeric_limits<long long>::max();
    long long m_maxPartCount = std::numeric_limits<long long>::max();
    long long m_currentOffset = 0;  // the current part's start in the logical storage
    int m_currentIndex = -1;        // -1: none
    bool m_written = false;         // data written since the part sizes were last taken

private:
    bool isValidIndex(int index) const { return index >= 0 && index < getPartCount(); }
    bool canAddPart(int index) const;
};

extern template class MultiPartStorage<FileStorage>;

}  // namespace QV::GP
