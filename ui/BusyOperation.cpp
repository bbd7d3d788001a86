#include "ui/BusyOperation.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include "system/MessagePump.h"

namespace ui {

struct TBusyOperation::TTaskbar {
    Microsoft::WRL::ComPtr<ITaskbarList3> List;
};

TBusyOperation::TBusyOperation(HWND window)
    : window_(window), previousCursor_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))),
      taskbar_(std::make_unique<TTaskbar>()) {
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&taskbar_->List))) ||
        FAILED(taskbar_->List->HrInit()))
        taskbar_->List.Reset();
}

TBusyOperation::~TBusyOperation() {
    if (taskbar_->List)
        taskbar_->List->SetProgressState(window_, TBPF_NOPROGRESS);
    SetCursor(previousCursor_);
}

void TBusyOperation::Progress(int64_t done, int64_t total) {
    if (taskbar_->List)
        taskbar_->List->SetProgressValue(window_, static_cast<ULONGLONG>(done),
                                         static_cast<ULONGLONG>(total > 0 ? total : 1));
    sys::PumpWaitingMessages(WM_PAINT, WM_PAINT);
}

} // namespace ui
