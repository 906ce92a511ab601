"""The bench tasks through the Python module, over the real serial path."""
import subprocess
import threading

import pytest
import sondrix
from conftest import required_path


def test_info_names_the_module_and_the_line(sim):
    with sim.module() as module:
        info = module.info()
    assert (info.model, info.firmware, info.users, info.baud) == ("HLX-M18", "3.01", 0, 115200)
    assert info.device == sim.port
    assert module.closed


def test_a_simulator_inside_the_process_needs_no_terminal():
    with sondrix.Simulator(pty=False, users=1) as sim, sim.module() as module:
        assert sim.port is None and module.port == "COM1"
        assert module.info().users == 1 and module.identify().id == "1"


def test_a_capture_is_the_image_the_command_line_saves(sim, tmp_path):
    cli = required_path("SONDRIX_CLI")
    for name in ("cli.bmp", "cli.raw"):
        subprocess.run([cli, "--port", sim.port, "--baud", "115200", "capture", "-o",
                        str(tmp_path / name)], check=True, capture_output=True, timeout=60)
    seen = []
    with sim.module() as module:
        image = module.capture(progress=seen.append)
    image.save(tmp_path / "py.bmp")
    assert (tmp_path / "py.bmp").read_bytes() == (tmp_path / "cli.bmp").read_bytes()
    assert image.pixels == (tmp_path / "cli.raw").read_bytes()
    assert (image.width, image.height) == (260, 300) and image.quality > 0
    assert image.array.shape == (300, 260) and image.array[7, 9] == image.pixels[7 * 260 + 9]
    assert seen[-1].done == seen[-1].total and seen[-1].unit == "blocks"


def test_a_user_is_enrolled_verified_identified_and_deleted():
    with sondrix.Simulator(fingers=[(5, 2)]) as sim, sim.module() as module:
        assert module.enroll("1005").id == "1005"
        assert module.verify("1005").matched
        assert module.identify().id == "1005"
        sim.place(6, 1)
        assert not module.identify()
        assert not module.verify("1005")
        assert [user.id for user in module.users()] == ["1005"]
        assert module.delete("1005") == 0
        assert sim.user_ids == []
        with pytest.raises(sondrix.ModuleRefused) as refused:
            module.delete("1005")
        assert refused.value.status == 1


def test_a_backup_restores_every_user(tmp_path):
    with sondrix.Simulator(users=3) as sim, sim.module() as module:
        backup = module.backup(tmp_path / "records")
        assert backup.records == 3 and len(backup.files) == 3
        assert module.delete_all() == 0 and sim.user_ids == []
        restore = module.restore(backup.files)
        assert (restore.records, restore.users) == (3, 3)
        assert sorted(sim.user_ids) == ["1", "2", "3"]


def test_a_firmware_update_reports_its_progress_on_the_callers_thread(sim, tmp_path):
    firmware = tmp_path / "hlx.bin"
    firmware.write_bytes(bytes(range(256)) * 150)
    seen = []
    with sim.module() as module:
        text = module.firmware_update(firmware, progress=lambda p: seen.append(
            (p.what, p.done, p.total, threading.get_ident())))
    assert text
    assert sim.firmware_received == firmware.read_bytes()
    assert len(seen) > 1 and seen[-1][1] == seen[-1][2]
    assert {(what, thread) for what, _, _, thread in seen} == {("firmware", threading.get_ident())}


def test_a_module_that_goes_silent_times_out_and_leaves_the_port_free(sim):
    with pytest.raises(sondrix.ModuleTimeout) as silent:
        with sim.module(timeout=1) as module:
            sim.silent = True
            module.info()
    assert silent.value.status == 6
    assert module.closed
    sim.silent = False
    with sondrix.Module(sim.port, baud=115200) as again:
        assert again.info().model == "HLX-M18"


def test_ctrl_c_from_another_thread_ends_a_capture(sim):
    interrupt = threading.Timer(0.3, signal_main_thread)
    with sim.module() as module:
        sim.lift()
        interrupt.start()
        with pytest.raises(KeyboardInterrupt):
            module.capture()
        interrupt.join()
        sim.place(1, 0)
        assert module.capture().width == 260


def signal_main_thread():
    import signal
    signal.pthread_kill(threading.main_thread().ident, signal.SIGINT)


def test_cancel_from_another_thread_gives_up_the_call(sim):
    with sim.module() as module:
        sim.lift()
        cancel = threading.Timer(0.3, module.cancel)
        cancel.start()
        with pytest.raises(sondrix.Cancelled) as cancelled:
            module.capture()
        cancel.join()
        assert (cancelled.value.status, cancelled.value.result) == (1, 13)
        sim.place(1, 0)
        assert module.capture().width == 260


def test_a_callback_that_raises_gives_the_call_up_with_its_exception(sim):
    def refuse(progress):
        raise LookupError("enough")

    with sim.module() as module:
        with pytest.raises(LookupError, match="enough"):
            module.capture(progress=refuse)
        assert module.info().status == 0


def test_the_search_finds_a_module_at_another_rate():
    with sondrix.Simulator(baud=57600) as sim:
        with pytest.raises(sondrix.NoModule) as wrong:
            sondrix.Module(sim.port, baud=115200, timeout=2)
        assert wrong.value.status == 4
        with sondrix.Module(sim.port) as module:
            assert module.info().baud == 57600


def test_ports_that_cannot_be_are_told_apart(tmp_path):
    with pytest.raises(sondrix.UsageError) as usage:
        sondrix.Module("COM42")
    assert usage.value.status == 2 and isinstance(usage.value, ValueError)
    with pytest.raises(sondrix.PortError) as missing:
        sondrix.Module(str(tmp_path / "ttyUSB9"))
    assert missing.value.status == 3 and isinstance(missing.value, OSError)


def test_options_clock_and_trace(sim, tmp_path):
    import datetime
    packets = []
    with sim.module(trace=packets.append) as module:
        options = module.options
        options["gain"] = 5
        assert module.options["gain"] == 5 and "gain" in options
        assert isinstance(options["latent"], bool) and options["protocol"] == "Not Used"
        with pytest.raises(sondrix.UsageError):
            options["gain"] = "loud"
        module.clock = datetime.datetime(2031, 2, 3, 4, 5, 6)
        assert abs(module.clock - datetime.datetime(2031, 2, 3, 4, 5, 6)).total_seconds() < 5
    assert packets[0].sent and not packets[1].sent and packets[0].data[0] == 0x7E
    with sim.module(trace=tmp_path / "run.pcapng") as module:
        module.info()
    assert (tmp_path / "run.pcapng").read_bytes()[:4] == b"\x0a\x0d\x0d\x0a"
