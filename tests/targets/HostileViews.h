// The hostile target's list views and tree views: real controls behind subclasses that lie about
// counts, lengths and text pointers, walk in circles, hang, end the process, or start a newer read
// in their reader while it waits on them.
#pragma once

#include <windows.h>

#include "TargetSupport.h"

namespace hostile {

// Answered by every subclassed view: how often it received the message in wParam; WM_APP + 2 resets.
constexpr UINT kViewQueryCount = WM_APP + 1;
constexpr UINT kViewResetCounts = WM_APP + 2;
// The bytes of committed private memory in this process, in KiB.
constexpr UINT kQueryCommittedKiB = WM_APP + 3;
// The open handle count of the process that owns the window in wParam, or -1.
constexpr UINT kQueryHandleCount = WM_APP + 4;
// Tells the overtaking view which edit field to set (wParam) and to what number (lParam).
constexpr UINT kSetOvertake = WM_APP + 5;
// How many distinct tree items TVM_GETITEMW was asked for.
constexpr UINT kQueryDistinctItems = WM_APP + 6;
// Sets the edit field in wParam 2 x kDrivenReads times, to this view's handle and to the handle in
// lParam by turns, each a read of the reader that owns the field; answers how many were delivered.
constexpr UINT kDriveReads = WM_APP + 7;
constexpr int kDrivenReads = 1000;
// The thread count of the process that owns the window in wParam, or -1.
constexpr UINT kQueryThreadCount = WM_APP + 8;

// Creates the views in frames of their own (hanging ones on threads of their own) and names them.
bool MakeViews(target::NamedHandles& handles);

// A process of its own whose list view ends the process inside LVM_GETITEMTEXTW of row exitRow.
int RunExitingView(const std::wstring& handlesFile, int exitRow);

} // namespace hostile
