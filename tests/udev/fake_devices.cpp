#include "fake_devices.h"

#include <fcntl.h>
#include <umockdev.h>
#include <unistd.h>

#include <cstdlib>

namespace sondrix::test {

namespace {

void Check(gboolean done, GError* error, const std::string& what) {
    if (!done) {
        ADD_FAILURE() << what << ": " << (error != nullptr ? error->message : "failed");
        g_clear_error(&error);
    }
}

}  // namespace

bool CFakeDevices::Preloaded() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::string(preload).find("umockdev") != std::string::npos;
}

CFakeDevices::CFakeDevices() : m_bed(umockdev_testbed_new()) {}

CFakeDevices::~CFakeDevices() {
    g_object_unref(m_bed);
}

void CFakeDevices::Add(const std::string& description) {
    GError* error = nullptr;
    Check(umockdev_testbed_add_from_string(m_bed, description.c_str(), &error), error,
          "faked device");
}

void CFakeDevices::AddFtdiAdapter() {
    const std::string file = SONDRIX_TESTDATA_DIR "/udev/ftdi_adapter.umockdev";
    GError* error = nullptr;
    Check(umockdev_testbed_add_from_file(m_bed, file.c_str(), &error), error, file);
}

void CFakeDevices::Uevent(const char* sysPath, const char* action) {
    umockdev_testbed_uevent(m_bed, sysPath, action);
}

void CFakeDevices::Remove(const char* sysPath) {
    Uevent(sysPath, "remove");
    umockdev_testbed_remove_device(m_bed, sysPath);
}

int CFakeDevices::Master(const char* node) {
    return umockdev_testbed_get_dev_fd(m_bed, node);
}

// The testbed's master goes; its descriptor number stays taken (by
// /dev/null), so that the testbed's own close later cannot hit anything else.
void CFakeDevices::HangUp(const char* node) {
    const int master = Master(node);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (master >= 0 && null >= 0) {
        ::dup2(null, master);
    }
    if (null >= 0) {
        ::close(null);
    }
}

}  // namespace sondrix::test
