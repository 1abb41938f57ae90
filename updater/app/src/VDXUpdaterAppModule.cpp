#include "Updater/VDXUpdaterAppModule.h"

#include "GP/Lib.h"
#include "PXT/Lib.h"
#include "UIA/Lib.h"
#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"
#include "Updater/FirmwareUpdaterApp.h"
#include "Updater/FirmwareUpdaterConfig.h"
#include "UpdaterSettings.h"

#include <boost/bind/bind.hpp>

namespace QV {

namespace {

constexpr GP::FileTypeMacMagic kCreatorCode = 0x51564458;  // 'QVDX'
constexpr const char* kCoreApplicationName = "VARDOLIN STUDIO UPDATER";
constexpr int kCoreVersion = 0x2030000;
constexpr int kFlavour = 69;

}  // namespace

VDXUpdaterAppModule::~VDXUpdaterAppModule() = default;

bool VDXUpdaterAppModule::init()
{
    // A version or flavour mismatch ends the process inside these; nothing else is checked.
    GP::Lib::init(kCreatorCode, kCoreApplicationName, kCoreVersion, kFlavour);
    UIA::Lib::init(UIA::Lib::kVersion, kFlavour);
    PXT::Lib::init();
    PXT::Lib::setSearchSkinDirectory(true);

    m_pLogic = new VDXUpdaterUpgradeLogic();
    using boost::placeholders::_1;
    using boost::placeholders::_2;
    using boost::placeholders::_3;
    using boost::placeholders::_4;
    VDXUpdaterUpgradeLogic* logic = m_pLogic;
    m_pConfig = new FirmwareUpdaterConfig("Vardolin Studio", "VDX", "VDX", "VDX Updater", kCoreApplicationName,
                                          Settings::kNoticeLine, "1.1.0 (R147)", Settings::kContributorLines[0],
                                          Settings::kContributorLines[1], Settings::kContributorLines[2],
                                          Settings::kContributorLines[3], "", Settings::kSingleInstanceId,
                                          boost::bind(&VDXUpdaterUpgradeLogic::connectInNormalMode, logic),
                                          boost::bind(&VDXUpdaterUpgradeLogic::resetIntoUpdateMode, logic),
                                          boost::bind(&VDXUpdaterUpgradeLogic::connectInUpdateMode, logic),
                                          boost::bind(&VDXUpdaterUpgradeLogic::performUpdate, logic, _1),
                                          boost::bind(&VDXUpdaterUpgradeLogic::getDeviceInfo, logic, _1, _2, _3, _4),
                                          boost::bind(&VDXUpdaterUpgradeLogic::isUpdateRunning, logic),
                                          boost::bind(&VDXUpdaterUpgradeLogic::applicationCloseRequest, logic));
    m_pConfig->m_isControllerRefused = boost::bind(&VDXUpdaterUpgradeLogic::isControllerRefused, logic);
    return attachApplication(new FirmwareUpdaterApp(*m_pConfig));
}

void VDXUpdaterAppModule::deInit(bool)
{
    if (m_pLogic) {
        // The worker writes the wizard's result and uses the logic: it is released from the one and
        // has ended before anything goes. The transfers before its final wait run to their end.
        m_pLogic->applicationCloseRequest();
        while (m_pLogic->isUpdateRunning()) {
        }
    }
    destroyApplication();
    delete m_pConfig;
    m_pConfig = nullptr;
    delete m_pLogic;
    m_pLogic = nullptr;
    PXT::Lib::deInit();
    UIA::Lib::deInit();
    GP::Lib::deInit();
}

}  // namespace QV
