// The application object: single-instance check, socket support, locale, then the main
// dialog run modally; the exit hook releases the instance mutex.
#pragma once

#include <memory>

#include "os/Platform.h"

class CTandrixApp {
  public:
    explicit CTandrixApp(os::Platform& os);
    ~CTandrixApp();

    // Runs start-up, the main dialog and the exit hook; returns the process exit code.
    int Run();

    os::Platform& Os() { return m_os; }

    os::WString m_sPartnerAddress;  // dotted IPv4 address of the partner PC

  private:
    bool InitInstance();
    void ExitInstance();

    os::Platform& m_os;
    std::unique_ptr<os::NamedMutex> m_hMutex;
    bool m_bSocketsStarted = false;
};
