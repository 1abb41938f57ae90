#include "Updater/FirmwareUpdaterConfig.h"

#include "UIA/AppModule.h"

#include <utility>

namespace QV {

FirmwareUpdaterConfig::FirmwareUpdaterConfig(std::string deviceName, std::string deviceImageKey, std::string deviceCode,
                                             std::string programName, std::string applicationTitle,
                                             std::string noticeLine, std::string version, std::string contributorLine1,
                                             std::string contributorLine2, std::string contributorLine3,
                                             std::string contributorLine4, std::string contributorLine5,
                                             std::string singleInstanceId, tConnectFunction connectInNormalMode,
                                             tConnectFunction resetIntoUpdateMode, tConnectFunction connectInUpdateMode,
                                             tPerformUpdateFunction performUpdate, tGetDeviceInfoFunction getDeviceInfo,
                                             tIsUpdateRunningFunction isUpdateRunning,
                                             tCloseRequestFunction applicationCloseRequest)
    : m_deviceName(std::move(deviceName)), m_deviceImageKey(std::move(deviceImageKey)),
      m_deviceCode(std::move(deviceCode)), m_programName(std::move(programName)),
      m_applicationTitle(std::move(applicationTitle)), m_noticeLine(std::move(noticeLine)),
      m_version(std::move(version)), m_contributorLine1(std::move(contributorLine1)),
      m_contributorLine2(std::move(contributorLine2)), m_contributorLine3(std::move(contributorLine3)),
      m_contributorLine4(std::move(contributorLine4)), m_contributorLine5(std::move(contributorLine5)),
      m_windowTitle(m_programName), m_singleInstanceId(std::move(singleInstanceId)),
      m_connectInNormalMode(std::move(connectInNormalMode)), m_resetIntoUpdateMode(std::move(resetIntoUpdateMode)),
      m_connectInUpdateMode(std::move(connectInUpdateMode)), m_performUpdate(std::move(performUpdate)),
      m_getDeviceInfo(std::move(getDeviceInfo)), m_isUpdateRunning(std::move(isUpdateRunning)),
      m_applicationCloseRequest(std::move(applicationCloseRequest))
{
    // The bundle's short version wins over the built-in one; without a bundle the built-in stays.
    std::string bundleVersion;
    if (UIA::AppModule::getVersionInfo(bundleVersion))
        m_version = bundleVersion;
}

FirmwareUpdaterConfig::~FirmwareUpdaterConfig() = default;

tWizardTexts FirmwareUpdaterConfig::wizardTexts() const
{
    return {m_deviceName,
            m_deviceImageKey,
            m_programName,
            m_applicationTitle,
            m_noticeLine,
            m_version,
            {m_contributorLine1, m_contributorLine2, m_contributorLine3, m_contributorLine4, m_contributorLine5}};
}

}  // namespace QV
