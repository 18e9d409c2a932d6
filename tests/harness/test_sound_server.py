"""The session's sound server is its own: it offers the null sink alone, and PipeWire's session
manager read the switches that keep it off the machine's sound cards, Bluetooth, cameras and the
Flatpak portal, in the form its version reads."""
import unittest

from session import Session
from sound_server import SINK

# The services that WirePlumber 0.5 names as its own while its monitors run.
DEVICE_SERVICES = ("audio", "api.alsa", "midi", "api.alsa-seq", "bluetooth.audio", "api.bluez",
                   "video-capture", "api.v4l2", "api.libcamera")


class PrivateSoundServer(unittest.TestCase):
    def test_offers_the_null_sink_alone(self):
        with Session(x_server=False, sound_server=True) as session:
            server = session.sound_server
            self.assertEqual(server.offered("sinks"), [SINK])
            self.assertEqual(server.offered("sources"), [SINK + ".monitor"])
            if server.kind != "pipewire":
                return
            with open(session.path("wireplumber.log"), encoding="utf-8") as log:
                read = log.read()
            for switches in server.wireplumber_off_switches():
                self.assertTrue(switches in read, "WirePlumber did not read " + switches)
            for services in server.client_properties("session.services"):  # 0.5 names them
                listed = services.strip("[]").split(", ")
                self.assertEqual([name for name in DEVICE_SERVICES if name in listed], [])
