#pragma once
// Where the player finds its service: the element "Service", attribute "HOST" of the user's
// configuration ("host" or "host:port"), by default a service on this machine. Every address
// of the service is "http://" + host + path. The environment variable TUNOLA_SERVICE_HOST, when
// set and not empty, stands in for the configuration: test suites point their players at a
// service of their own (or at none) with it, so they never reach one that runs on this machine.

#include <string>

namespace tunola {

inline constexpr int kDefaultServicePort = 7860;
inline constexpr const char* kDefaultServiceHost = "127.0.0.1:7860";
inline constexpr const char* kServiceHostVariable = "TUNOLA_SERVICE_HOST";

// Paths on the service.
inline constexpr const char* kServiceCheckPath = "/soft/updata.asp";
inline constexpr const char* kLyricUploadPath = "/lrcpost.asp";
inline constexpr const char* kServiceIndexPath = "/index.asp";
inline constexpr const char* kServiceSearchPath = "/schweb/";

class TMoConfig;

// The host from the configuration file `configFile` (the default when it names none).
std::string ReadServiceHost(const std::string& configFile);
// The same from a configuration already open.
std::string ReadServiceHost(TMoConfig& config);

// "http://" + host + path.
std::string ServiceUrl(const std::string& host, const std::string& path);

} // namespace tunola
