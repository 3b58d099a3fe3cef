#include "ServiceAddress.h"

#include "MoConfig.h"
#include "StartupSettings.h"

#include <cstdlib>

namespace tunola {

std::string ReadServiceHost(const std::string& configFile) {
    TMoConfig config(configFile, kConfigRoot);
    return ReadServiceHost(config);
}

std::string ReadServiceHost(TMoConfig& config) {
    const char* forced = std::getenv(kServiceHostVariable);
    std::string host = forced && *forced
                           ? std::string(forced)
                           : config.ReadString("Service", "HOST", kDefaultServiceHost);
    // Surrounding blanks would only make an address that never connects.
    const size_t b = host.find_first_not_of(" \t\r\n");
    const size_t e = host.find_last_not_of(" \t\r\n");
    host = b == std::string::npos ? std::string() : host.substr(b, e - b + 1);
    return host.empty() ? std::string(kDefaultServiceHost) : host;
}

std::string ServiceUrl(const std::string& host, const std::string& path) {
    return "http://" + host + path;
}

} // namespace tunola
