#pragma once

#include "qvsim/model/ControllerModel.h"
#include "qvsim/model/Descriptors.h"
#include "qvsim/model/VirtualClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace QV::SIM {

using Bytes = std::vector<std::uint8_t>;

// Drives a controller model directly, the way a host would, on a virtual clock; records what the
// model asks of its bus.
class ModelDriver {
public:
    struct tSeenBusRequest {
        Clock::Duration at;
        tBusRequest::eKind kind;
        eMode mode;
    };

    explicit ModelDriver(ControllerConfig config = {})
    {
        model = ControllerModel::create(std::move(config), clock);
        model->setBusListener([this](const tBusRequest& request) {
            busRequests.push_back({clock.now(), request.kind, request.mode});
        });
    }

    tControlReply in(std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                     std::uint16_t length)
    {
        return model->handleControl({type, request, value, index, length}, nullptr);
    }

    tControlReply out(std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                      const Bytes& data = {})
    {
        return model->handleControl({type, request, value, index, static_cast<std::uint16_t>(data.size())},
                                    data.data());
    }

    std::uint16_t dfuInterface() const { return Descriptors::dfuInterface(model->mode()); }

    tControlReply dnload(std::uint16_t block, const Bytes& data)
    {
        return out(0x21, DFU::eDnload, block, dfuInterface(), data);
    }
    tControlReply getStatus() { return in(0xA1, DFU::eGetStatus, 0, dfuInterface(), 6); }
    tControlReply detach(std::uint16_t timeout = 1000) { return out(0x21, DFU::eDetach, timeout, dfuInterface()); }
    tControlReply request(std::uint8_t dfuRequest)
    {
        const bool toHost = dfuRequest == DFU::eGetStatus || dfuRequest == DFU::eGetState || dfuRequest == DFU::eUpload;
        return toHost ? in(0xA1, dfuRequest, 0, dfuInterface(), dfuRequest == DFU::eGetStatus ? 6 : 64)
                      : out(0x21, dfuRequest, 0, dfuInterface());
    }
    std::uint8_t getState()
    {
        const tControlReply reply = in(0xA1, DFU::eGetState, 0, dfuInterface(), 1);
        EXPECT_EQ(reply.outcome, eOutcome::Answered);
        return reply.data.empty() ? 0xFF : reply.data[0];
    }
    tControlReply writeCustom(std::uint16_t block, const Bytes& data)
    {
        return out(0x41, REQ::kCustomImageBase + 1, block, dfuInterface(), data);
    }
    std::uint16_t auxVersion()
    {
        const tControlReply reply = in(0xC0, REQ::kCustomImageVersion, 0, REQ::kCustomImageBase + 1, 2);
        EXPECT_EQ(reply.outcome, eOutcome::Answered);
        return reply.data.size() == 2 ? static_cast<std::uint16_t>(reply.data[0] | reply.data[1] << 8) : 0xFFFF;
    }

    VirtualClock clock;  // before the model, which refers to it
    std::shared_ptr<ControllerModel> model;
    std::vector<tSeenBusRequest> busRequests;
};

inline Bytes pattern(std::size_t size, std::uint8_t seed = 1)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

// bState of a GETSTATUS reply.
inline int stateOf(const tControlReply& reply) { return reply.data.size() == 6 ? reply.data[4] : -1; }

inline int pollTimeoutOf(const tControlReply& reply)
{
    return reply.data.size() == 6 ? reply.data[1] | reply.data[2] << 8 | reply.data[3] << 16 : -1;
}

}  // namespace QV::SIM
