// A COM interface pointer released at the end of its scope.
#pragma once

namespace os::win32 {

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_p) {
            m_p->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    T** Out() { return &m_p; }
    explicit operator bool() const { return m_p != nullptr; }

  private:
    T* m_p = nullptr;
};

}  // namespace os::win32
