# executable_test.py: reads the built vorek.exe back: its version record, icon group, manifest,
# pictures, and the DLLs it imports. The project's description and version numbers come from
# VOREK_DESCRIPTION and VOREK_VERSION.
import os
import struct

import pefile
import pytest

import design

RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24
# DLLs that every Windows installation has; anything else would have to ship beside vorek.exe.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll",
               "advapi32.dll", "shell32.dll", "ole32.dll", "uxtheme.dll", "ucrtbase.dll"}
DESCRIPTION = os.environ["VOREK_DESCRIPTION"]
VERSION = os.environ["VOREK_VERSION"]


@pytest.fixture(scope="module")
def pe(request):
    return pefile.PE(request.config.getoption("vorek"))


def resource(pe, kind, name):
    """The bytes of resource `name` (a number or a file name) of type `kind`, and its language."""
    for type_entry in (t for t in pe.DIRECTORY_ENTRY_RESOURCE.entries if t.id == kind):
        for name_entry in type_entry.directory.entries:
            if (name_entry.id if isinstance(name, int) else str(name_entry.name)) == name:
                language = name_entry.directory.entries[0]
                data = language.data.struct
                return pe.get_data(data.OffsetToData, data.Size), language.id
    return None, None


def test_is_a_64_bit_windows_application(pe):
    assert pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]
    assert pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]


def test_imports_only_dlls_that_windows_ships(pe):
    imported = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    assert {"kernel32.dll", "user32.dll", "gdi32.dll"} <= imported
    assert imported - SYSTEM_DLLS == set(), "DLLs that Windows does not ship"


def test_the_version_record_is_the_programs_in_french(pe):
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = tuple(int(n) for n in VERSION.split("."))
    assert numbers == (1, 0, 0, 0)
    for ms, ls in ((fixed.FileVersionMS, fixed.FileVersionLS),
                   (fixed.ProductVersionMS, fixed.ProductVersionLS)):
        assert (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF) == numbers
    assert (fixed.FileType, fixed.FileOS) == (1, 4), "VFT_APP, VOS__WINDOWS32"
    tables = [table for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
              for table in info.StringTable]
    assert [t.LangID for t in tables] == [b"040C04B0"]
    assert {k.decode(): v.decode("utf-8") for k, v in tables[0].entries.items()} == {
        "FileVersion": "1.00", "ProductVersion": "1.00", "ProductName": "Vorek",
        "FileDescription": DESCRIPTION, "InternalName": DESCRIPTION,
        "OriginalFilename": DESCRIPTION + ".exe"}
    assert [var.entry for info in pe.FileInfo[0] if info.Key == b"VarFileInfo"
            for var in info.Var] == [{b"Translation": "0x040c 0x04b0"}]
    assert resource(pe, RT_VERSION, 1)[1] == 0x040C, "French"


def test_icon_group_one_holds_the_designs_icon_as_image_30001(pe):
    group, _ = resource(pe, RT_GROUP_ICON, 1)
    assert group is not None, "no icon group 1"
    assert struct.unpack_from("<HHH", group) == (0, 1, 1)
    width, height, colours, _, _, _, size, number = struct.unpack_from("<BBBBHHIH", group, 6)
    assert (width, height, colours, number) == (32, 32, 16, 30001)
    with open(os.path.join(design.PICTURES, "vorek.ico"), "rb") as f:
        ico = f.read()
    assert group[6:18] == ico[6:18], "the group's entry is the .ico's own"
    offset, = struct.unpack_from("<I", ico, 18)
    assert resource(pe, RT_ICON, 30001)[0] == ico[offset:offset + size]
    assert [e.id for t in pe.DIRECTORY_ENTRY_RESOURCE.entries if t.id == RT_ICON
            for e in t.directory.entries] == [30001], "one icon image, numbered 30001"


def test_the_manifest_asks_for_per_monitor_dpi_and_common_controls_6(pe):
    manifest, _ = resource(pe, RT_MANIFEST, 1)
    text = manifest.decode("utf-8")
    assert "PerMonitorV2" in text and "true/pm" in text
    assert 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in " ".join(text.split())
    assert f'name="Tralden.Vorek" version="{VERSION}"' in text, \
        "the program's own identity at the project's version"


def test_carries_every_picture_of_the_designs_byte_for_byte(pe):
    names = sorted(os.listdir(design.PICTURES))
    assert len(names) == 27
    for name in names:
        with open(os.path.join(design.PICTURES, name), "rb") as f:
            assert resource(pe, RT_RCDATA, name.upper())[0] == f.read(), name
