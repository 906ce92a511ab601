"""Drive HLX fingerprint modules on a serial port, or a simulated one.

    import sondrix

    with sondrix.Module("auto") as module:      # or sondrix.Simulator().module()
        print(module.info())
        module.capture().save("finger.bmp")

Every failure is a sondrix.Error; its class says what went wrong, as the
exit status of sondrix-cli does (NoModule, PortError, ModuleRefused, ...).
"""

from ._sondrix import (
    OPTION_NAMES,
    Backup,
    Cancelled,
    Enrolled,
    Error,
    FileError,
    Image,
    LogDownload,
    Match,
    Module,
    ModuleInfo,
    ModuleRefused,
    ModuleTimeout,
    NoModule,
    Options,
    Packet,
    PortError,
    PortInfo,
    Progress,
    Restore,
    Simulator,
    UsageError,
    User,
    __version__,
    ports,
)

__all__ = [
    "OPTION_NAMES", "Backup", "Cancelled", "Enrolled", "Error", "FileError", "Image",
    "LogDownload", "Match", "Module", "ModuleInfo", "ModuleRefused", "ModuleTimeout",
    "NoModule", "Options", "Packet", "PortError", "PortInfo", "Progress", "Restore",
    "Simulator", "UsageError", "User", "__version__", "ports",
]

# The classes are this package's, wherever the compiled part defines them.
for _name in __all__:
    _value = globals()[_name]
    if isinstance(_value, type):
        _value.__module__ = __name__
del _name, _value
