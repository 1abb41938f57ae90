#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"

#include "DVK2/Sleep.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"
#include "FW/VardolinStudioImages.h"
#include "GP/Format.h"

#include <boost/chrono.hpp>

#include <chrono>
#include <utility>

namespace QV {
namespace {

using QV::GP::formatText;

const boost::chrono::milliseconds kJoinWait(500);
constexpr std::chrono::seconds kSettlingWait(5);

}  // namespace

VDXUpdaterUpgradeLogic::VDXUpdaterUpgradeLogic() : VDXUpdaterUpgradeLogic(std::make_unique<DVK2::DFUDevice>()) {}

VDXUpdaterUpgradeLogic::VDXUpdaterUpgradeLogic(std::unique_ptr<DVK2::DFUDevice> device) : m_device(std::move(device)) {}

VDXUpdaterUpgradeLogic::~VDXUpdaterUpgradeLogic()
{
    releaseResult();
    if (m_updateThread.joinable()) {
        m_updateThread.interrupt();
        m_updateThread.join();
    }
}

boost::thread VDXUpdaterUpgradeLogic::startWorker(boost::function<void()> body)
{
    return boost::thread(std::move(body));
}

// --- finding the controller ----------------------------------------------------------------------

bool VDXUpdaterUpgradeLogic::connectInNormalMode()
{
    // A connection from an earlier scan says nothing about the bus now.
    if (m_device->isConnected())
        m_device->disconnect();
    m_foundInUpdateMode = false;
    m_refusedForLackOfRights = false;
    scan(DVK2::USBDeviceDB::VardolinStudioDFU);

    // A controller that an interrupted update left in firmware-update mode answers only there:
    // taken when none answers in application mode, so that its update can be finished. Once this
    // logic has written, only application mode counts: the check must see the controller restarted.
    if (!m_device->isConnected() && !m_updateStarted) {
        DVK2::USBDeviceFilter updateMode = DVK2::USBDeviceDB::VardolinStudioDFU;
        updateMode.productId = DVK2::DFU::updateModeProductId(updateMode.productId);
        scan(updateMode);
        if (m_device->isConnected() &&
            (m_device->mode() != DVK2::DFUDevice::eModeUpdate || m_device->transferSize() == 0))
            m_device->disconnect();
        m_foundInUpdateMode = m_device->isConnected();
    }
    // The first controller found is the one this logic updates, to the end; a controller without a
    // serial number cannot be told apart and is followed as any controller.
    if (m_device->isConnected() && !m_pickedSerialNumber && !m_device->info().serialNumber.empty())
        m_pickedSerialNumber = m_device->info().serialNumber;
    if (m_device->isConnected())
        m_refusedForLackOfRights = false;
    return m_device->isConnected();
}

void VDXUpdaterUpgradeLogic::scan(const DVK2::USBDeviceFilter& filter)
{
    DVK2::USBDeviceFactory factory;
    factory.setCallbacks([this](const DVK2::USBDeviceOSHandle& handle,
                                const DVK2::USBDeviceFilter& found) { onDeviceFound(handle, found); },
                         DVK2::USBDeviceFactory::Callback());
    factory.initWithDeviceFilter(filter, false);
    factory.deInit();
    if (factory.refusedForLackOfRights() != 0)
        m_refusedForLackOfRights = true;
}

void VDXUpdaterUpgradeLogic::onDeviceFound(const DVK2::USBDeviceOSHandle& handle, const DVK2::USBDeviceFilter& filter)
{
    if (m_pickedSerialNumber) {
        // Once a controller is picked, only that one counts: another controller on the bus is
        // neither connected nor touched.
        if (m_device->isConnected())
            return;
        DVK2::USBDeviceInfo found;
        if (!filter.getDeviceInfoForOSHandle(handle, found, true) || found.serialNumber != *m_pickedSerialNumber)
            return;
        m_device->connect(handle);
        return;
    }
    // Each match is connected in turn; the one reported last stays connected.
    m_device->connect(handle);
}

bool VDXUpdaterUpgradeLogic::resetIntoUpdateMode()
{
    if (!m_device->isConnected())
        return false;
    if (m_device->mode() == DVK2::DFUDevice::eModeUpdate)
        return true;
    return m_device->sendDFUDetach() && m_device->reconnectInDFUMode() && m_device->transferSize() != 0;
}

bool VDXUpdaterUpgradeLogic::connectInUpdateMode()
{
    if (m_device->isConnected() && m_device->mode() == DVK2::DFUDevice::eModeUpdate)
        return true;
    return m_device->reconnectInDFUMode() && m_device->transferSize() != 0;
}

// --- versions ------------------------------------------------------------------------------------

void VDXUpdaterUpgradeLogic::getDeviceInfo(DVK2::USBDeviceInfo& info, std::string& installed, std::string& newest,
                                           bool& updateNeeded)
{
    newest = formatText("%d", kFirmwareVersion);
    if (!m_device->isConnected()) {
        info.version = 0;
        updateNeeded = false;
        return;
    }
    info = m_device->info();
    if (m_device->mode() == DVK2::DFUDevice::eModeUpdate) {
        // Left in firmware-update mode: what it runs is unknown, and finishing the update is due.
        installed = "-";
        updateNeeded = true;
        return;
    }
    unsigned auxiliaryVersion = 0;  // stays 0 when the read fails
    m_device->getCustomImageVersion(kAuxiliaryImageIndex, auxiliaryVersion);

    // The auxiliary version is shown only where it decides: on the current main version.
    if (info.version == kFirmwareVersion && auxiliaryVersion != kAuxiliaryVersion) {
        newest = formatText("%d / 0x%X", static_cast<int>(kFirmwareVersion), kAuxiliaryVersion);
        installed = formatText("%d / 0x%X", info.version, auxiliaryVersion);
    } else {
        installed = formatText("%d", info.version);
    }
    updateNeeded =
        info.version < kFirmwareVersion || (info.version == kFirmwareVersion && auxiliaryVersion < kAuxiliaryVersion);
}

// --- the update ----------------------------------------------------------------------------------

bool VDXUpdaterUpgradeLogic::performUpdate(UpdateResult& result)
{
    // The device belongs to a running worker: neither look at it nor start a second one.
    if (m_updateThread.joinable() && !m_updateThread.try_join_for(boost::chrono::milliseconds(0))) {
        result.store(eUpdateNotInUpdateMode);
        return false;
    }
    if (!m_device->isConnected() || m_device->mode() != DVK2::DFUDevice::eModeUpdate) {
        result.store(eUpdateNotInUpdateMode);
        return false;
    }
    result.store(eUpdateRunning);
    {
        std::lock_guard<std::mutex> lock(m_resultLock);
        m_result = &result;
    }
    m_updateStarted = true;
    try {
        m_updateThread = startWorker([this] { flashFirmwares(); });
    } catch (const boost::thread_resource_error&) {
        releaseResult();
        result.store(eUpdateNotInUpdateMode);
        return false;
    }
    return true;
}

// The worker's body. Its only interruption points are around the final wait: the transfers before
// it always run to their end, and an interrupted worker ends without writing the result.
void VDXUpdaterUpgradeLogic::flashFirmwares()
{
    if (!m_device->isConnected() || m_device->mode() != DVK2::DFUDevice::eModeUpdate) {
        finishUpdate(eUpdateNotInUpdateMode);
        return;
    }

    int outcome = eUpdateDone;
    {
        // The device's own waits sleep through Boost too; an interruption there would leave the
        // controller half written, without the abort and the return to application mode.
        boost::this_thread::disable_interruption wholeTransfers;
        DVK2::DFU::GetStatus status;
        // A controller found in update mode may be where an interrupted update left it.
        const bool ready = !m_foundInUpdateMode || m_device->returnToDFUIdle();
        if (!ready || !m_device->writeCustom(FW::VardolinStudioPIC, FW::kVardolinStudioPICSize, kAuxiliaryImageIndex) ||
            !m_device->writeImage(FW::VardolinStudio, FW::kVardolinStudioSize, status)) {
            m_device->sendDFUAbort();
            outcome = eUpdateWriteFailed;
        }
        m_device->returnToAPPMode();
        m_device->disconnect();
    }

    // A request made during the transfers is seen here. The explicit points keep the wait
    // interruptible whatever sleep function is installed.
    boost::this_thread::interruption_point();
    DVK2::sleepFor(kSettlingWait);
    boost::this_thread::interruption_point();
    finishUpdate(outcome);
}

void VDXUpdaterUpgradeLogic::finishUpdate(int outcome)
{
    std::lock_guard<std::mutex> lock(m_resultLock);
    if (m_result != nullptr) {
        m_result->store(outcome);
        m_result = nullptr;
    }
}

void VDXUpdaterUpgradeLogic::releaseResult()
{
    std::lock_guard<std::mutex> lock(m_resultLock);
    m_result = nullptr;
}

bool VDXUpdaterUpgradeLogic::isUpdateRunning()
{
    if (!m_updateThread.joinable())
        return false;
    return !m_updateThread.try_join_for(kJoinWait);
}

void VDXUpdaterUpgradeLogic::applicationCloseRequest()
{
    if (m_updateThread.joinable() && !m_updateThread.try_join_for(kJoinWait))
        m_updateThread.interrupt();
    // From here on the caller may destroy its result integer.
    releaseResult();
}

}  // namespace QV
