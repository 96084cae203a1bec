//===- status.h - Host status codes and their texts -----------------------===//
//
// The statuses the simulated host returns.  Codes 1 to 899 have a text
// (UF_get_fail_message answers 0); codes from 900 up have none, so that the
// caller's "no text" path can be exercised.  Areas add their codes here.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SESSION_STATUS_H
#define NCSHEET_SIM_SESSION_STATUS_H

#include <optional>
#include <string_view>

namespace sim::status {

inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;         ///< generic failure; default injected fault
inline constexpr int kBadArgument = 2;    ///< null pointer or value out of range
inline constexpr int kBadTag = 3;         ///< no object with that tag
inline constexpr int kWrongType = 4;      ///< object of another type
inline constexpr int kNoPart = 5;         ///< no part is displayed
inline constexpr int kNotInitialized = 6; ///< outside the API bracket (UF_terminate)
inline constexpr int kNoMemory = 7;
inline constexpr int kNotFound = 8; ///< no such item (object without a name, ...)
inline constexpr int kCanceled = 9;
inline constexpr int kInternal = 10; ///< the host failed inside (exception caught)
inline constexpr int kFileError = 11;
inline constexpr int kListingClosed = 12; ///< listing window written before it was opened
inline constexpr int kNoSession = 13;     ///< a host call with no session current
// Drawings and views.
inline constexpr int kNameInUse = 30;    ///< an object of the part already has the name
inline constexpr int kNoDrawing = 31;    ///< no current drawing to show
inline constexpr int kNotOnDrawing = 32; ///< the view is not a member of that drawing
// Drafting objects.
inline constexpr int kDrawingObject = 33; ///< a drawing object where a model object is needed
inline constexpr int kOtherView = 34;     ///< the drafting objects belong to different views
// CAM and dialogs.
inline constexpr int kUnknownPost = 20; ///< no postprocessor of that name is installed
inline constexpr int kPostFailed = 21;  ///< the postprocessor stopped with an error
inline constexpr int kDialogFile = 22;  ///< the dialog file is missing or malformed
inline constexpr int kNoSuchItem = 23;  ///< the dialog has no item of that name
inline constexpr int kNoDialog = 24;    ///< no open dialog has that id

/// First code without a text.
inline constexpr int kFirstTextless = 900;
inline constexpr int kTextless = 949; ///< a textless code for tests and scenarios

/// The text of a status, or nothing when the host has none.
[[nodiscard]] std::optional<std::string_view> fail_text(int code) noexcept;

} // namespace sim::status

#endif
