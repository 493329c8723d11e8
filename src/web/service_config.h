#pragma once
// The settings the program needs to reach its services: the cloud-disk
// service's web host and passport host, the service provider's portal host,
// the maker's update host, and an extra
// CA file trusted for TLS besides the system's authorities. Hosts are
// "name" or "name:port" without a scheme.
//
// Read once at start-up from the environment (QUILLMERE_WEB_HOST,
// QUILLMERE_PASSPORT_HOST, QUILLMERE_PORTAL_HOST, QUILLMERE_UPDATE_HOST,
// QUILLMERE_CA_FILE); an unset
// or empty variable keeps the default. Tests point them at the local service
// emulator and call LoadServiceConfig again.

#include <string>

struct ServiceConfig {
  std::string webHost;
  std::string passportHost;
  std::string portalHost;  // the provider's portal, shown by the sign-in windows
  std::string updateHost;
  std::string caFile;  // empty: only the system's authorities
};

// The defaults, used where the environment sets nothing.
ServiceConfig DefaultServiceConfig();

// Reads the environment now and makes the result the current configuration.
// Call at start-up before the first request; any thread.
void LoadServiceConfig();

// A copy of the current configuration; loads it on first use.
ServiceConfig GetServiceConfig();
