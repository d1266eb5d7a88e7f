// A stand-in for the Firebird/InterBase client library in the loading tests: it answers the
// version calls with its own file name and lacks every other entry point.
#include <cstring>

#ifdef _WIN32
#define STANDIN_EXPORT extern "C" __declspec(dllexport)
#define STANDIN_CALL __stdcall
#else
#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#define STANDIN_CALL
#endif

STANDIN_EXPORT void STANDIN_CALL isc_get_client_version(char* buffer) {
    std::strcpy(buffer, VANTRELO_STANDIN_NAME " stand-in");
}
STANDIN_EXPORT int STANDIN_CALL isc_get_client_major_version() { return 3; }
STANDIN_EXPORT int STANDIN_CALL isc_get_client_minor_version() { return 0; }
