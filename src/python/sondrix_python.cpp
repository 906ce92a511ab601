// The Python module `sondrix` (its compiled part, sondrix._sondrix): the
// typed module interface, the simulated module and the serial ports.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include "files/bcd_time.h"
#include "platform/port_map.h"
#include "platform/serial_discovery.h"
#include "platform/version.h"
#include "python_errors.h"
#include "python_module.h"
#include "python_simulator.h"
#include "sim/sim_firmware.h"

namespace py = pybind11;
using namespace py::literals;

namespace sondrix {
namespace {

// "Name(field=value, ...)" of the fields a value object shows.
template <typename T>
void AddRepr(py::class_<T>& cls, const char* name, std::vector<const char*> fields) {
    cls.def("__repr__", [name, fields](const py::object& self) {
        std::string text = std::string(name) + "(";
        for (size_t i = 0; i < fields.size(); ++i) {
            text += std::string(i == 0 ? "" : ", ") + fields[i] + "=" +
                    py::repr(self.attr(fields[i])).cast<std::string>();
        }
        return text + ")";
    });
}

// A serial device present, with the COM name the default map gives it.
struct SPortRow {
    SSerialPortInfo info;
    std::string com;
    std::string label;
};

// The options of a module as read once: a mapping by name that writes
// through to the module.
struct SOptions {
    py::object owner;  // the Module, kept alive
    std::vector<SOptionValue> values;

    const SOptionValue& Find(const std::string& name) const {
        for (const SOptionValue& value : values) {
            if (value.name == name) {
                return value;
            }
        }
        throw py::key_error(name);
    }
};

py::object ValueOf(const SOptionValue& value) {
    switch (value.kind) {
        case SOptionValue::EKind::Flag:
            return py::bool_(value.value != 0);
        case SOptionValue::EKind::Choice:
            return py::str(value.text);
        case SOptionValue::EKind::Number:
            break;
    }
    return py::int_(value.value);
}

// An option's new value as the module interface takes it.
std::string OptionText(const py::handle& value) {
    if (py::isinstance<py::bool_>(value)) {
        return value.cast<bool>() ? "on" : "off";
    }
    if (py::isinstance<py::int_>(value) || py::isinstance<py::str>(value)) {
        return py::str(value);
    }
    throw py::type_error("an option is set to a bool, an int or a choice's name (str)");
}

std::vector<std::string> IdsOf(const py::object& ids) {
    if (py::isinstance<py::str>(ids)) {
        return {ids.cast<std::string>()};
    }
    return ids.cast<std::vector<std::string>>();
}

CPythonModule::SOpen OpenOf(py::object trace, py::object prompt, py::object master,
                            std::optional<uint32_t> baud, double timeout) {
    CPythonModule::SOpen open;
    open.baud = baud.value_or(0);
    open.timeout = timeout;
    open.trace = std::move(trace);
    open.prompt = std::move(prompt);
    open.master = std::move(master);
    return open;
}

void BindValues(py::module_& m) {
    py::class_<SModuleInfo> info(m, "ModuleInfo", "What the connected module is.");
    info.def_readonly("model", &SModuleInfo::model, "The model's name, \"HLX-M18\".")
        .def_readonly("model_code", &SModuleInfo::modelCode)
        .def_readonly("series", &SModuleInfo::series)
        .def_readonly("firmware", &SModuleInfo::firmwareText, "The firmware version, \"3.01\".")
        .def_readonly("firmware_code", &SModuleInfo::firmware, "The firmware version, 0x0301.")
        .def_readonly("users", &SModuleInfo::users, "Users enrolled.")
        .def_readonly("status", &SModuleInfo::status,
                      "0 idle, 1 and 2 busy, 3 database upload, 4 Auto-On.")
        .def_readonly("status_text", &SModuleInfo::statusText)
        .def_readonly("port", &SModuleInfo::port, "The port's name as asked for.")
        .def_readonly("device", &SModuleInfo::device, "The device behind the port.")
        .def_readonly("low_latency", &SModuleInfo::lowLatency)
        .def_readonly("baud", &SModuleInfo::baud, "The line rate the module answered at.");
    AddRepr(info, "ModuleInfo",
            {"model", "firmware", "series", "users", "status_text", "port", "device", "baud"});

    py::class_<SImage> image(m, "Image", py::buffer_protocol(),
                             "A fingerprint image: 8-bit grey, rows top to bottom. It is a "
                             "buffer of height x width bytes (numpy.asarray(image) shares it).");
    image.def_readonly("width", &SImage::width)
        .def_readonly("height", &SImage::height)
        .def_readonly("quality", &SImage::quality,
                      "What the module rated it, -1 when it could not say.")
        .def_property_readonly(
            "pixels",
            [](const SImage& self) {
                return py::bytes(reinterpret_cast<const char*>(self.pixels.data()),
                                 self.pixels.size());
            },
            "The pixels, width x height bytes, rows top to bottom.")
        .def_property_readonly(
            "array",
            [](const py::object& self) {
                return py::module_::import("numpy").attr("asarray")(self);
            },
            "A read-only NumPy view of the pixels, shape (height, width), dtype uint8; "
            "ImportError without NumPy.")
        .def(
            "save",
            [](const SImage& self, const std::filesystem::path& path) {
                py::gil_scoped_release release;
                self.Save(path);
            },
            "path"_a,
            "Writes the image as RAW, BMP or WSQ by the file's extension (.raw, .bmp, .wsq), "
            "whole or not at all.")
        .def_buffer([](SImage& self) {
            const auto width = static_cast<py::ssize_t>(self.width);
            const auto height = static_cast<py::ssize_t>(self.height);
            if (width > 0 && height > 0 &&
                self.pixels.size() == static_cast<size_t>(width) * static_cast<size_t>(height)) {
                return py::buffer_info(self.pixels.data(), py::ssize_t{1}, "B", py::ssize_t{2},
                                       std::vector<py::ssize_t>{height, width},
                                       std::vector<py::ssize_t>{width, 1}, true);
            }
            const auto size = static_cast<py::ssize_t>(self.pixels.size());
            return py::buffer_info(self.pixels.data(), py::ssize_t{1}, "B", py::ssize_t{1},
                                   std::vector<py::ssize_t>{size}, std::vector<py::ssize_t>{1},
                                   true);
        });
    AddRepr(image, "Image", {"width", "height", "quality"});

    py::class_<SMatch> match(m, "Match", "The answer to a verification or identification.");
    match.def_readonly("matched", &SMatch::matched)
        .def_readonly("id", &SMatch::id, "Identification: the user found.")
        .def_readonly("index", &SMatch::index, "Which of the user's templates matched.")
        .def_readonly("time_ms", &SMatch::timeMs, "From the request to the module's answer.")
        .def_readonly("quality", &SMatch::quality, "The scan's image quality, -1 unknown.")
        .def_readonly("text", &SMatch::text, "What the window shows for it.")
        .def("__bool__", [](const SMatch& self) { return self.matched; });
    AddRepr(match, "Match", {"matched", "id", "index", "quality", "time_ms"});

    py::class_<SUser> user(m, "User", "A user the module holds.");
    user.def_readonly("id", &SUser::id).def_readonly("master", &SUser::master);
    AddRepr(user, "User", {"id", "master"});

    py::class_<SEnrolled> enrolled(m, "Enrolled", "A user stored by enroll().");
    enrolled.def_readonly("id", &SEnrolled::id)
        .def_readonly("fingers", &SEnrolled::fingers)
        .def_readonly("text", &SEnrolled::text);
    AddRepr(enrolled, "Enrolled", {"id", "fingers"});

    py::class_<SBackup> backup(m, "Backup", "The record files a backup wrote.");
    backup.def_readonly("records", &SBackup::records).def_readonly("files", &SBackup::files);
    AddRepr(backup, "Backup", {"records", "files"});

    py::class_<SRestore> restore(m, "Restore", "What a restore uploaded.");
    restore.def_readonly("records", &SRestore::records)
        .def_readonly("users", &SRestore::users, "Users on the module afterwards.");
    AddRepr(restore, "Restore", {"records", "users"});

    py::class_<SLogDownload> log(m, "LogDownload", "The module's log written to a file.");
    log.def_readonly("path", &SLogDownload::path).def_readonly("records", &SLogDownload::records);
    AddRepr(log, "LogDownload", {"path", "records"});

    py::class_<SProgress> progress(m, "Progress", "How far a long call has come.");
    progress.def_readonly("what", &SProgress::what, "\"capture\", \"backup\", \"firmware\"...")
        .def_readonly("done", &SProgress::done)
        .def_readonly("total", &SProgress::total)
        .def_readonly("unit", &SProgress::unit, "\"blocks\", \"records\", \"chunks\", \"pages\".");
    AddRepr(progress, "Progress", {"what", "done", "total", "unit"});

    py::class_<STracedPacket> packet(m, "Packet", "A packet that crossed the line.");
    packet
        .def_property_readonly(
            "time",
            [](const STracedPacket& self) { return static_cast<double>(self.timeUs) / 1e6; },
            "Seconds since 1970 (UTC).")
        .def_property_readonly(
            "sent", [](const STracedPacket& self) { return self.direction == 0; },
            "True for a packet to the module, False for one from it.")
        .def_property_readonly(
            "data",
            [](const STracedPacket& self) {
                return py::bytes(reinterpret_cast<const char*>(self.bytes.data()),
                                 self.bytes.size());
            },
            "The packet's bytes as on the wire.");
    AddRepr(packet, "Packet", {"time", "sent", "data"});

    py::class_<SPortRow> port(m, "PortInfo", "A serial device present.");
    port.def_property_readonly("node", [](const SPortRow& r) { return r.info.node; })
        .def_property_readonly("by_id", [](const SPortRow& r) { return r.info.byId; })
        .def_property_readonly("driver", [](const SPortRow& r) { return r.info.driver; })
        .def_property_readonly("vid", [](const SPortRow& r) { return r.info.vendorId; })
        .def_property_readonly("pid", [](const SPortRow& r) { return r.info.productId; })
        .def_property_readonly("manufacturer",
                               [](const SPortRow& r) { return r.info.manufacturer; })
        .def_property_readonly("product", [](const SPortRow& r) { return r.info.product; })
        .def_property_readonly("serial", [](const SPortRow& r) { return r.info.serial; })
        .def_readonly("com", &SPortRow::com, "The COMn it stands behind, or empty.")
        .def_readonly("label", &SPortRow::label, "The name a person recognises.");
    AddRepr(port, "PortInfo", {"node", "by_id", "driver", "vid", "pid", "product", "serial"});

    m.def(
        "ports",
        [] {
            const CPortMap map;
            std::vector<SPortRow> rows;
            for (SSerialPortInfo& found : DiscoverSerialPorts()) {
                SPortRow row{found, map.MappedName(found), SerialPortLabel(found)};
                rows.push_back(std::move(row));
            }
            return rows;
        },
        "The serial devices present (USB adapters with their ids and strings).");
}

void BindOptions(py::module_& m) {
    py::class_<SOptions>(m, "Options",
                         "The module's options as read, by name: options[\"gain\"] reads, "
                         "options[\"gain\"] = 5 sets it on the module (bool for on/off, int, "
                         "or a choice's name).")
        .def("__getitem__",
             [](const SOptions& self, const std::string& name) { return ValueOf(self.Find(name)); })
        .def("__setitem__",
             [](SOptions& self, const std::string& name, const py::object& value) {
                 CPythonModule& module = self.owner.cast<CPythonModule&>();
                 const std::string text = OptionText(value);
                 self.values = module.Call([&] { return module.Core().SetOption(name, text); });
             })
        .def("__len__", [](const SOptions& self) { return self.values.size(); })
        .def("__contains__",
             [](const SOptions& self, const std::string& name) {
                 return std::any_of(self.values.begin(), self.values.end(),
                                    [&](const SOptionValue& v) { return v.name == name; });
             })
        .def("keys",
             [](const SOptions& self) {
                 std::vector<std::string> names;
                 for (const SOptionValue& value : self.values) {
                     names.push_back(value.name);
                 }
                 return names;
             })
        .def("__iter__", [](const py::object& self) { return py::iter(self.attr("keys")()); })
        .def("items",
             [](const SOptions& self) {
                 py::list items;
                 for (const SOptionValue& value : self.values) {
                     items.append(py::make_tuple(value.name, ValueOf(value)));
                 }
                 return items;
             })
        .def("__repr__", [](const SOptions& self) {
            py::dict shown;
            for (const SOptionValue& value : self.values) {
                shown[py::str(value.name)] = ValueOf(value);
            }
            return "Options(" + py::repr(shown).cast<std::string>() + ")";
        });
    m.attr("OPTION_NAMES") = CModule::OptionNames();
}

py::object Clock(CPythonModule& self) {
    const std::array<uint8_t, 7> bytes = self.Call([&] { return self.Core().Time(); });
    CByteReader reader(bytes.data(), bytes.size());
    SBcdTime time;
    SBcdTime::Read(reader, time);
    if (!time.IsPlausible()) {
        throw CModuleError(EFailure::Module, "the module's clock reads " + time.ToString() +
                                                 ", which is no date and time");
    }
    return py::module_::import("datetime")
        .attr("datetime")(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

void SetClock(CPythonModule& self, const py::object& when) {
    SBcdTime time;
    for (auto [field, name] : {std::pair{&time.year, "year"},
                               {&time.month, "month"},
                               {&time.day, "day"},
                               {&time.hour, "hour"},
                               {&time.minute, "minute"},
                               {&time.second, "second"}}) {
        *field = when.attr(name).cast<int>();
    }
    const std::string error =
        CModule::TimeError(time.year, time.month, time.day, time.hour, time.minute, time.second);
    if (!error.empty()) {
        throw CModuleError(EFailure::Usage, error);
    }
    self.Call([&] { self.Core().SetTime(time.ToBytes()); });
}

void BindModule(py::module_& m) {
    py::class_<CPythonModule> module(
        m, "Module",
        "One HLX module on a serial port, connected when made. Use it in a with block: "
        "leaving it leaves master mode (if a call entered it) and closes the port. Long "
        "calls release the GIL; cancel() from another thread, or Ctrl-C, gives them up.");
    module
        .def(py::init([](const std::string& port, std::optional<uint32_t> baud, double timeout,
                         py::object trace, py::object prompt, py::object master) {
                 CPythonModule::SOpen open =
                     OpenOf(std::move(trace), std::move(prompt), std::move(master), baud, timeout);
                 open.port = port;
                 return std::make_unique<CPythonModule>(std::move(open));
             }),
             "port"_a = "auto", "baud"_a = py::none(), "timeout"_a = 30.0, "trace"_a = py::none(),
             "prompt"_a = py::none(), "master"_a = py::none(),
             "Connects to the module on `port`: \"auto\" (the first USB serial adapter), "
             "\"COM3\", a device path or name (\"/dev/ttyUSB0\", \"ttyUSB0\"). `baud`: only "
             "that rate; None tries the rate that answered last, then searches every rate. "
             "`timeout`: the longest silence of the module, in seconds. `trace`: a path "
             "(pcapng, and text beside it) or a callable taking each Packet. `prompt`: a "
             "callable told what the person at the module is to do (\"place_finger\", "
             "\"lift_finger\", ...). `master`: (id, password), or the device password, for "
             "modules that want a master credential.")
        .def("__enter__", [](const py::object& self) { return self; })
        .def(
            "__exit__",
            [](CPythonModule& self, const py::object& type, const py::object&, const py::object&) {
                try {
                    self.Close();
                } catch (const CModuleError&) {
                    if (type.is_none()) {
                        throw;  // the failure to close is the news
                    }
                }
                return false;
            },
            "type"_a, "value"_a, "traceback"_a)
        .def("close", &CPythonModule::Close,
             "Leaves master mode (if a call entered it) and closes the port.")
        .def("cancel", &CPythonModule::Cancel,
             "Gives up the call under way, from any thread: the module is told to stop and "
             "the call raises Cancelled.")
        .def_property_readonly("port", &CPythonModule::Port, "The port's name, \"COM1\".")
        .def_property_readonly("closed", &CPythonModule::Closed)
        .def(
            "info",
            [](CPythonModule& self) { return self.Call([&] { return self.Core().Info(); }); },
            "The module's facts, its status read now.")
        .def(
            "capture",
            [](CPythonModule& self, py::object progress) {
                self.SetProgress(std::move(progress));
                return self.Call([&] { return self.Core().Capture(); });
            },
            "progress"_a = py::none(), "Scans the finger on the sensor: an Image.")
        .def(
            "verify",
            [](CPythonModule& self, const std::string& id,
               const std::optional<std::string>& password) {
                return self.Call([&] { return self.Core().Verify(id, password); });
            },
            "id"_a, "password"_a = py::none(),
            "Verifies the finger on the sensor (or the password) against user `id`: a Match.")
        .def(
            "identify",
            [](CPythonModule& self) { return self.Call([&] { return self.Core().Identify(); }); },
            "Identifies the finger on the sensor among all users: a Match.")
        .def(
            "enroll",
            [](CPythonModule& self, const std::string& id, const std::string& password, bool master,
               int fingers, const py::object& retry) {
                SEnrolment enrolment{id, password, master, fingers, {}};
                enrolment.retry = [&] {
                    bool again = false;
                    self.Guarded([&] {
                        again = PyCallable_Check(retry.ptr()) ? retry().cast<bool>()
                                                              : retry.cast<bool>();
                    });
                    return again;
                };
                return self.Call([&] { return self.Core().Enroll(enrolment); });
            },
            "id"_a, "password"_a = "", "master"_a = false, "fingers"_a = 0, "retry"_a = false,
            "Registers user `id` (enters master mode): `fingers` 0 takes as many as the "
            "module's flow does; `retry` (a bool or a callable) says whether to scan again "
            "after a failed scan.")
        .def(
            "delete",
            [](CPythonModule& self, const py::object& ids) {
                const std::vector<std::string> list = IdsOf(ids);
                return self.Call([&] { return self.Core().Delete(list).users; });
            },
            "ids"_a,
            "Deletes the user or users (an ID the module does not hold is an error); "
            "the users left.")
        .def(
            "delete_all",
            [](CPythonModule& self) {
                return self.Call([&] { return self.Core().DeleteAll().users; });
            },
            "Deletes every user; the users left (0).")
        .def(
            "users",
            [](CPythonModule& self) { return self.Call([&] { return self.Core().Users(); }); },
            "The users the module holds.")
        .def(
            "set_master",
            [](CPythonModule& self, const py::object& ids, bool master) {
                const std::vector<std::string> list = IdsOf(ids);
                return self.Call([&] { return self.Core().SetMaster(list, master); });
            },
            "ids"_a, "master"_a = true, "Gives (or takes) master authority; the users as now.")
        .def(
            "backup",
            [](CPythonModule& self, const std::filesystem::path& folder, py::object progress) {
                self.SetProgress(std::move(progress));
                return self.Call([&] { return self.Core().Backup(folder); });
            },
            "folder"_a, "progress"_a = py::none(),
            "Downloads every user's record into a file in `folder`.")
        .def(
            "restore",
            [](CPythonModule& self, const std::vector<std::filesystem::path>& files,
               py::object progress) {
                self.SetProgress(std::move(progress));
                return self.Call([&] { return self.Core().Restore(files); });
            },
            "files"_a, "progress"_a = py::none(),
            "Uploads record files (all are read before anything is sent).")
        .def_property_readonly(
            "options",
            [](const py::object& self) {
                CPythonModule& module = self.cast<CPythonModule&>();
                return SOptions{self, module.Call([&] { return module.Core().Options(); })};
            },
            "The module's options, read now (enters master mode).")
        .def_property("clock", &Clock, &SetClock,
                      "The module's clock as a datetime; set it with a datetime.")
        .def(
            "firmware_update",
            [](CPythonModule& self, const std::filesystem::path& path, py::object progress) {
                self.SetProgress(std::move(progress));
                return self.Call([&] { return self.Core().UpdateFirmware(path); });
            },
            "path"_a, "progress"_a = py::none(),
            "Sends a firmware file; `progress` gets a Progress per chunk. The module's text.")
        .def(
            "log",
            [](CPythonModule& self, const std::filesystem::path& path, const std::string& which,
               uint32_t n, py::object progress) {
                const std::optional<uint32_t> choice = CModule::LogChoice(which);
                if (!choice) {
                    throw CModuleError(EFailure::Usage,
                                       "unknown log choice " + which +
                                           " (all, unread, last, oldest-to-last or nth)");
                }
                self.SetProgress(std::move(progress));
                return self.Call([&] { return self.Core().Log(path, *choice, n); });
            },
            "path"_a, "which"_a = "all", "n"_a = 0, "progress"_a = py::none(),
            "Downloads the module's log into a text file: \"all\", \"unread\", \"last\", "
            "\"oldest-to-last\", or \"nth\" (the n-th previous).")
        .def(
            "status",
            [](CPythonModule& self) { return self.Call([&] { return self.Core().Status(); }); },
            "The module's status: 0 idle, 1 and 2 busy, 3 database upload, 4 Auto-On.");
}

void BindSimulator(py::module_& m) {
    py::class_<CPythonSimulator>(
        m, "Simulator",
        "A simulated HLX module for scripts and their tests, on a pseudo-terminal (a port "
        "like any other) or, with pty=False, inside the process. module() connects to it.")
        .def(py::init([](const std::string& model, uint32_t users,
                         std::vector<std::pair<uint32_t, uint32_t>> fingers, bool pace,
                         uint32_t baud, const std::string& firmware, bool pty) {
                 return std::make_unique<CPythonSimulator>(CPythonSimulator::SSetup{
                     model, users, std::move(fingers), pace, baud, firmware, pty});
             }),
             "model"_a = "HLX-M18", "users"_a = 0,
             "fingers"_a = std::vector<std::pair<uint32_t, uint32_t>>{}, "pace"_a = false,
             "baud"_a = 115200, "firmware"_a = "3.01", "pty"_a = true,
             "`users`: users \"1\"..\"n\" enrolled (finger 0 of persons 1..n). `fingers`: "
             "(person, finger) pairs placed on the sensor one a scan, the last one stays "
             "(default: person 1's finger 0). `pace`: answers take their time on the wire. "
             "`baud`: the module's own rate (it is silent to others).")
        .def("__enter__", [](const py::object& self) { return self; })
        .def("__exit__", [](CPythonSimulator& self, const py::args&) { self.Stop(); })
        .def("stop", &CPythonSimulator::Stop, "Stops serving the module.")
        .def_property_readonly(
            "port",
            [](const CPythonSimulator& self) -> std::optional<std::string> {
                const std::string port = self.Port();
                return port.empty() ? std::nullopt : std::optional(port);
            },
            "The pseudo-terminal to open as a port; None inside the process.")
        .def(
            "module",
            [](CPythonSimulator& self, std::optional<uint32_t> baud, double timeout,
               py::object trace, py::object prompt) {
                CPythonModule::SOpen open =
                    OpenOf(std::move(trace), std::move(prompt), py::none(), baud, timeout);
                open.rememberRates = false;
                open.port = self.Port();
                open.simulated = self.InProcess();
                open.pacing = self.Pacing();
                return std::make_unique<CPythonModule>(std::move(open));
            },
            py::keep_alive<0, 1>(), "baud"_a = py::none(), "timeout"_a = 30.0,
            "trace"_a = py::none(), "prompt"_a = py::none(),
            "A Module connected to this simulated module (by the rate search unless `baud`).")
        .def(
            "place",
            [](CPythonSimulator& self, uint32_t person, uint8_t finger) {
                self.With([&](CSimModule& module) { module.PlaceFinger(SFinger{person, finger}); });
            },
            "person"_a, "finger"_a = 0, "Places a finger on the sensor.")
        .def(
            "lift",
            [](CPythonSimulator& self) {
                self.With([](CSimModule& module) { module.PlaceFinger(kNoFinger); });
            },
            "Lifts the finger: a scan now waits until it is cancelled.")
        .def_property(
            "silent",
            [](CPythonSimulator& self) {
                bool silent = false;
                self.With([&](CSimModule& module) { silent = module.Faults().silent; });
                return silent;
            },
            [](CPythonSimulator& self, bool silent) {
                self.With([&](CSimModule& module) { module.Faults().silent = silent; });
            },
            "While True the module answers nothing.")
        .def_property_readonly(
            "firmware_received",
            [](CPythonSimulator& self) {
                std::string bytes;
                self.With([&](CSimModule& module) {
                    const std::vector<uint8_t>& received = module.Firmware().Received(false);
                    bytes.assign(received.begin(), received.end());
                });
                return py::bytes(bytes);
            },
            "The firmware image the module has taken so far.")
        .def_property_readonly(
            "user_ids",
            [](CPythonSimulator& self) {
                std::vector<std::string> ids;
                self.With([&](CSimModule& module) {
                    for (const SSimUser& user : module.UserDb().Users()) {
                        ids.emplace_back(user.id.begin(), user.id.end());
                    }
                });
                return ids;
            },
            "The IDs of the users the module holds.");
}

}  // namespace
}  // namespace sondrix

PYBIND11_MODULE(_sondrix, m) {
    m.doc() = "Drive HLX fingerprint modules on a serial port, or a simulated one.";
    m.attr("__version__") = sondrix::kSondrixVersion;
    sondrix::CPythonErrors::Register(m);
    sondrix::BindValues(m);
    sondrix::BindOptions(m);
    sondrix::BindModule(m);
    sondrix::BindSimulator(m);
}
