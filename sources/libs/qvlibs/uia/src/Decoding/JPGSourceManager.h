// libjpeg's data source for the JPEG reader: the bytes of a stream, read kBufferSize at a time.
//
// When the stream has no more bytes although libjpeg wants more, the source raises libjpeg's
// "premature end of data" error, so a file that ends early fails the read instead of being decoded
// with made-up data. Bytes to skip beyond the buffer are skipped by seeking the storage forward.
#pragma once

#include "GP/Stream.h"

#include <cstddef>
#include <cstdio>
#include <type_traits>

#include <jerror.h>
#include <jpeglib.h>

namespace QV::UIA {

template <std::size_t kBufferSize>
struct JPGSourceManager {
    // First member: libjpeg's pointer to it is a pointer to the whole record.
    jpeg_source_mgr m_manager;
    GP::Stream* m_pStream;
    JOCTET m_buffer[kBufferSize];

    // Makes this the source of cinfo, reading from stream (which must have a storage).
    void install(j_decompress_ptr cinfo, GP::Stream& stream)
    {
        m_manager.next_input_byte = m_buffer;
        m_manager.bytes_in_buffer = 0;
        m_manager.init_source = &initSource;
        m_manager.fill_input_buffer = &fillInputBuffer;
        m_manager.skip_input_data = &skipInputData;
        m_manager.resync_to_restart = &jpeg_resync_to_restart;
        m_manager.term_source = &termSource;
        m_pStream = &stream;
        cinfo->src = &m_manager;
    }

    static JPGSourceManager& of(j_decompress_ptr cinfo)
    {
        static_assert(std::is_standard_layout_v<JPGSourceManager>, "libjpeg's pointer must lead back to the record");
        return *reinterpret_cast<JPGSourceManager*>(cinfo->src);
    }

    static void initSource(j_decompress_ptr cinfo)
    {
        JPGSourceManager& source = of(cinfo);
        source.m_manager.next_input_byte = source.m_buffer;
        source.m_manager.bytes_in_buffer = 0;
    }

    static boolean fillInputBuffer(j_decompress_ptr cinfo)
    {
        JPGSourceManager& source = of(cinfo);
        std::size_t const count = source.m_pStream->readRaw(source.m_buffer, kBufferSize);
        if (count == 0)
            ERREXIT(cinfo, JERR_INPUT_EOF);  // does not return
        source.m_manager.next_input_byte = source.m_buffer;
        source.m_manager.bytes_in_buffer = count;
        return TRUE;
    }

    static void skipInputData(j_decompress_ptr cinfo, long count)
    {
        if (count < 1)
            return;
        JPGSourceManager& source = of(cinfo);
        std::size_t rest = std::size_t(count);
        if (rest <= source.m_manager.bytes_in_buffer) {
            source.m_manager.next_input_byte += rest;
            source.m_manager.bytes_in_buffer -= rest;
            return;
        }
        rest -= source.m_manager.bytes_in_buffer;
        source.m_manager.next_input_byte += source.m_manager.bytes_in_buffer;
        source.m_manager.bytes_in_buffer = 0;
        // A seek that fails leaves the storage unable to read: the next fill ends the decoding.
        source.m_pStream->getStorage()->seek64(static_cast<long long>(rest), GP::IStorage::eSeekFromCurrent);
    }

    static void termSource(j_decompress_ptr) {}
};

}  // namespace QV::UIA
