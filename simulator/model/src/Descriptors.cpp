#include "qvsim/model/Descriptors.h"

namespace QV::SIM::Descriptors {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendInterface(std::vector<std::uint8_t>& out, std::uint8_t number, std::uint8_t endpoints, std::uint8_t cls,
                     std::uint8_t subClass, std::uint8_t protocol)
{
    out.insert(out.end(), {9, 4, number, 0, endpoints, cls, subClass, protocol, 0});
}

void appendDfuFunctional(std::vector<std::uint8_t>& out, const ControllerConfig& config)
{
    out.insert(out.end(), {9, DFU::kFunctionalDescriptorType, config.dfuAttributes});
    put16(out, config.detachTimeOutMs);
    put16(out, config.transferSize);
    put16(out, DFU::kVersion);
}

// UTF-8 to UTF-16 code units; malformed sequences become U+FFFD.
std::u16string toUtf16(const std::string& utf8)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        unsigned length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= utf8.size();
        for (unsigned k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            i += 1;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return out;
}

}  // namespace

std::uint8_t dfuInterface(eMode mode) { return mode == eMode::Application ? 1 : 0; }

std::uint8_t interfaceCount(eMode mode) { return mode == eMode::Application ? 2 : 1; }

std::vector<std::uint8_t> device(const ControllerConfig& config, eMode mode, std::uint16_t bcdDevice, bool withStrings)
{
    std::vector<std::uint8_t> out{18, 1};
    put16(out, 0x0200);                    // bcdUSB
    out.insert(out.end(), {0, 0, 0, 64});  // class per interface, bMaxPacketSize0
    put16(out, config.vendorId);
    put16(out, mode == eMode::Application ? config.productId : config.updateProductId());
    put16(out, bcdDevice);
    if (withStrings)
        out.insert(out.end(), {kManufacturerIndex, kProductIndex, kSerialNumberIndex});
    else
        out.insert(out.end(), {0, 0, 0});
    out.push_back(1);  // bNumConfigurations
    return out;
}

std::vector<std::uint8_t> configuration(const ControllerConfig& config, eMode mode)
{
    std::vector<std::uint8_t> out{9, 2, 0, 0, interfaceCount(mode), 1, 0, 0x80, 50};  // bus powered, 100 mA
    if (mode == eMode::Application) {
        appendInterface(out, 0, 1, 0x03, 0x00, 0x00);
        const std::vector<std::uint8_t> hidDescriptor = hid();
        out.insert(out.end(), hidDescriptor.begin(), hidDescriptor.end());
        out.insert(out.end(), {7, 5, kHidInterruptEndpoint, 0x03, 64, 0, 8});  // interrupt IN, 64 bytes, 8 ms
        if (config.faults.noDfuRunTime) {
            appendInterface(out, 1, 0, 0xFF, 0x00, 0x00);
        } else {
            appendInterface(out, 1, 0, 0xFE, 0x01, 0x01);
            appendDfuFunctional(out, config);
        }
    } else {
        appendInterface(out, 0, 0, 0xFE, 0x01, 0x02);
        appendDfuFunctional(out, config);
    }
    out[2] = static_cast<std::uint8_t>(out.size() & 0xFF);
    out[3] = static_cast<std::uint8_t>(out.size() >> 8);
    return out;
}

std::vector<std::uint8_t> hid()
{
    std::vector<std::uint8_t> out{9, 0x21};
    put16(out, 0x0111);  // bcdHID
    out.insert(out.end(), {0, 1, 0x22});
    put16(out, static_cast<std::uint16_t>(hidReport().size()));
    return out;
}

std::vector<std::uint8_t> hidReport()
{
    return {
        0x06, 0x00, 0xFF,  // usage page (vendor defined)
        0x09, 0x01,        // usage 1
        0xA1, 0x01,        // collection (application)
        0x15, 0x00,        //   logical minimum 0
        0x26, 0xFF, 0x00,  //   logical maximum 255
        0x75, 0x08,        //   report size 8
        0x95, 0x40,        //   report count 64
        0x09, 0x01,        //   usage 1
        0x81, 0x02,        //   input (data, variable, absolute)
        0xC0,              // end collection
    };
}

std::vector<std::uint8_t> languages()
{
    std::vector<std::uint8_t> out{4, 3};
    put16(out, kLanguageUsEnglish);
    return out;
}

std::vector<std::uint8_t> string(const std::string& utf8)
{
    std::u16string text = toUtf16(utf8);
    if (text.size() > 126)
        text.resize(126);
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (char16_t unit : text)
        put16(out, static_cast<std::uint16_t>(unit));
    return out;
}

}  // namespace QV::SIM::Descriptors
