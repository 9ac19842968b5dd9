#include "app/command_table.h"

namespace app {
namespace {

using O = CommandOwner;

constexpr CommandRoute kRoutes[] = {
    {2, O::Frame},     // IDCANCEL: the exit path of the dialog
    {1010, O::Frame},  {1011, O::Frame},  {1012, O::Frame},
    {1013, O::Update}, {1014, O::Frame},  {1015, O::Frame},
    {1021, O::ScanPage}, {1022, O::ScanPage}, {1023, O::ScanPage}, {1024, O::ScanPage},
    {32771, O::ScanPage}, {32772, O::ScanPage},
    {1036, O::Optimisation}, {1037, O::Frame},  // Delete goes to the active tools page
    {1042, O::Optimisation}, {1043, O::ActiveX}, {1044, O::ProcessStartup},
    {1045, O::ProcessStartup}, {1046, O::Plugins}, {1047, O::Frame},
    {1049, O::ActiveX}, {1050, O::ActiveX}, {1052, O::ProcessStartup}, {1054, O::Plugins},
    {1055, O::Options}, {1056, O::Options}, {1057, O::Options}, {1058, O::Options},
    {1059, O::Options}, {1076, O::Options}, {1084, O::Options}, {1085, O::Options},
    {32773, O::Frame}, {32774, O::Frame}, {32775, O::Frame}, {32776, O::Frame},
    {32777, O::Frame}, {32778, O::Frame}, {32779, O::Frame}, {32780, O::Update},
    {32781, O::Frame}, {32783, O::Frame}, {32784, O::Options}, {32785, O::RealTime},
    {32787, O::Options},
};

}  // namespace

std::span<const CommandRoute> commandRoutes() { return kRoutes; }

std::optional<CommandOwner> ownerOf(int commandId) {
  for (const CommandRoute& r : kRoutes)
    if (r.id == commandId) return r.owner;
  return std::nullopt;
}

}  // namespace app
