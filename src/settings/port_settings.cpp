#include "settings/port_settings.hpp"

#include "registry/mod_register.hpp"
#include "settings/setting_lists.hpp"

namespace portsetup {

StoredPortSettings WritePortSettings(const std::wstring& port, const std::wstring& value)
{
    StoredPortSettings stored{ERROR_SUCCESS, value, false};
    if (value.empty()) {
        std::wstring own;
        const LONG read = ReadPortSettings(port, &own);
        // A value of another type is the port's own as well.
        if (read == ERROR_SUCCESS || read == ERROR_INVALID_DATATYPE) {
            stored.kept = true;
            stored.value = own;
            return stored;
        }
        stored.value = DefaultPortSettingsValue();
    }
    stored.status = Mod_Register::SetRegString(HKEY_LOCAL_MACHINE, kPortsKeyPath, port, stored.value);
    return stored;
}

LONG ReadPortSettings(const std::wstring& port, std::wstring* value)
{
    return Mod_Register::GetRegString(HKEY_LOCAL_MACHINE, kPortsKeyPath, port, value);
}

}  // namespace portsetup
