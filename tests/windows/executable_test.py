#!/usr/bin/env python3
# executable_test.py: reads the built vorek.exe back: its version record, icon group, manifest,
# pictures, and the DLLs it imports.
import argparse
import os
import struct
import sys
import unittest

import pefile

RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24

# DLLs that every Windows installation has; anything else would have to ship beside vorek.exe.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll",
               "advapi32.dll", "shell32.dll", "ole32.dll", "uxtheme.dll", "ucrtbase.dll"}

options = None


def resource(pe, kind, name):
    """The bytes of resource `name` (a number or a file name) of type `kind`, and its language."""
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if type_entry.id != kind:
            continue
        for name_entry in type_entry.directory.entries:
            found = name_entry.id if isinstance(name, int) else str(name_entry.name)
            if found == name:
                language = name_entry.directory.entries[0]
                data = language.data.struct
                return pe.get_data(data.OffsetToData, data.Size), language.id
    return None, None


class Executable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(options.exe)

    def test_is_a_64_bit_windows_application(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"])
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem,
                         pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"])

    def test_imports_only_dlls_that_windows_ships(self):
        imported = {entry.dll.decode().lower() for entry in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertTrue({"kernel32.dll", "user32.dll", "gdi32.dll"} <= imported, imported)
        self.assertEqual(imported - SYSTEM_DLLS, set(), "DLLs that Windows does not ship")

    def test_the_version_record_is_the_programs_in_french(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        major, minor, patch, tweak = (int(n) for n in options.version_numbers.split("."))
        for ms, ls in ((fixed.FileVersionMS, fixed.FileVersionLS),
                       (fixed.ProductVersionMS, fixed.ProductVersionLS)):
            self.assertEqual((ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF),
                             (major, minor, patch, tweak))
        self.assertEqual((major, minor, patch, tweak), (1, 0, 0, 0))
        self.assertEqual(fixed.FileType, 1, "VFT_APP")
        self.assertEqual(fixed.FileOS, 4, "VOS__WINDOWS32")
        tables = [table for info in self.pe.FileInfo[0] if info.Key == b"StringFileInfo"
                  for table in info.StringTable]
        self.assertEqual([t.LangID for t in tables], [b"040C04B0"])
        texts = {k.decode(): v.decode("utf-8") for k, v in tables[0].entries.items()}
        self.assertEqual(texts, {
            "FileVersion": "1.00", "ProductVersion": "1.00", "ProductName": "Vorek",
            "FileDescription": options.description, "InternalName": options.description,
            "OriginalFilename": options.description + ".exe"})
        translations = [var.entry for info in self.pe.FileInfo[0] if info.Key == b"VarFileInfo"
                        for var in info.Var]
        self.assertEqual(translations, [{b"Translation": "0x040c 0x04b0"}])
        _, language = resource(self.pe, RT_VERSION, 1)
        self.assertEqual(language, 0x040C, "French")

    def test_icon_group_one_holds_the_designs_icon_as_image_30001(self):
        group, _ = resource(self.pe, RT_GROUP_ICON, 1)
        self.assertIsNotNone(group, "no icon group 1")
        reserved, kind, count = struct.unpack_from("<HHH", group)
        self.assertEqual((reserved, kind, count), (0, 1, 1))
        width, height, colours, _, planes, bits, size, number = struct.unpack_from("<BBBBHHIH",
                                                                                    group, 6)
        self.assertEqual((width, height, colours, number), (32, 32, 16, 30001))
        with open(options.ico, "rb") as f:
            ico = f.read()
        self.assertEqual(group[6:18], ico[6:18], "the group's entry is the .ico's own")
        image, _ = resource(self.pe, RT_ICON, 30001)
        offset, = struct.unpack_from("<I", ico, 18)
        self.assertEqual(image, ico[offset:offset + size])
        icons = [e.id for t in self.pe.DIRECTORY_ENTRY_RESOURCE.entries if t.id == RT_ICON
                 for e in t.directory.entries]
        self.assertEqual(icons, [30001], "one icon image, numbered 30001")

    def test_the_manifest_asks_for_per_monitor_dpi_and_common_controls_6(self):
        manifest, _ = resource(self.pe, RT_MANIFEST, 1)
        self.assertIsNotNone(manifest)
        text = manifest.decode("utf-8")
        self.assertIn("PerMonitorV2", text)
        self.assertIn("true/pm", text)
        self.assertIn('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                      " ".join(text.split()))
        self.assertIn(f'name="Tralden.Vorek" version="{options.version_numbers}"', text,
                      "the program's own identity at the project's version")

    def test_carries_every_picture_of_the_designs_byte_for_byte(self):
        names = sorted(os.listdir(options.pictures))
        self.assertEqual(len(names), 27)
        for name in names:
            with open(os.path.join(options.pictures, name), "rb") as f:
                expected = f.read()
            found, _ = resource(self.pe, RT_RCDATA, name.upper())
            self.assertEqual(found, expected, name)


if __name__ == "__main__":
    sys.dont_write_bytecode = True
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--ico", required=True)
    parser.add_argument("--pictures", required=True)
    parser.add_argument("--description", required=True)
    parser.add_argument("--version-numbers", required=True)
    options, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
