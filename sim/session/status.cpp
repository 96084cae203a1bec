//===- status.cpp - Texts of the host status codes ------------------------===//
#include "session/status.h"

#include <array>
#include <utility>

namespace sim::status {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 24> kTexts{{
    {kOk, "No error"},
    {kFailed, "The operation failed"},
    {kBadArgument, "Invalid argument"},
    {kBadTag, "Invalid object tag"},
    {kWrongType, "Object is of the wrong type"},
    {kNoPart, "No part is displayed"},
    {kNotInitialized, "The API is not initialized"},
    {kNoMemory, "Out of memory"},
    {kNotFound, "Item not found"},
    {kCanceled, "Canceled by the user"},
    {kInternal, "Internal error in the host"},
    {kFileError, "File error"},
    {kListingClosed, "The listing window is not open"},
    {kNoSession, "No host session is active"},
    {kNameInUse, "An object with this name already exists"},
    {kNoDrawing, "There is no current drawing"},
    {kNotOnDrawing, "The view is not a member of the drawing"},
    {kDrawingObject, "The object lies on a drawing, not in the model"},
    {kOtherView, "The drafting objects belong to different views"},
    {kUnknownPost, "Postprocessor not found"},
    {kPostFailed, "The postprocessor failed"},
    {kDialogFile, "Dialog file not found or not readable"},
    {kNoSuchItem, "The dialog has no such item"},
    {kNoDialog, "No such dialog is open"},
}};

} // namespace

std::optional<std::string_view> fail_text(int code) noexcept {
  if (code < 0 || code >= kFirstTextless)
    return std::nullopt;
  for (const auto &[known, text] : kTexts)
    if (known == code)
      return text;
  return std::nullopt;
}

} // namespace sim::status
