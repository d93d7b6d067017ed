#!/usr/bin/env python3
"""Writes the expected registry listings of the registration test.

Written from the product's documented registry layout, independently of the
installer's own C++ tables: the file-type rows below are the documented table
as it stands, parsed here. Run it after a deliberate change of the layout:

    python3 make_expected.py     (writes the .txt files beside this script)

Each listing has one section per redirected root (HKLM, HKCU, HKCR) in the
form of the test support's DumpRegistryTree: "[key]" lines for every key and
"[key] name = TYPE data" lines for every value, sorted.
"""
import os

FILE_TYPE_ROWS = r'''
| 0 | "ANI" | "Animated Windows Cursors *" | ani | self | yes |
| 1 | "B3D" | "BodyPaint 3D Format *" | b3d | viewer 0 | yes |
| 2 | "BMP/DIB" | "Windows Bitmap" | bmp, dib→bmp | viewer 0 | yes |
| 3 | "CLP" | "Windows Clipboard *" | clp | viewer 0 | yes |
| 4 | "CRW/CR2/CR3" | "Canon RAW Format *" | crw, cr2, cr3 | viewer 0 | yes |
| 5 | "CUR" | "Windows Cursor" | cur | self | yes |
| 6 | "DCM/ACR/IMA" | "DICOM Format *" | dcm, acr→dcm, ima→dcm | viewer 0 | yes |
| 7 | "DCX" | "Multipage Zsoft Paintbrush" | dcx | viewer 0 | yes |
| 8 | "DDS" | "Direct Draw Surface *" | dds | viewer 0 | yes |
| 9 | "DJVU/IW44" | "DjVu Format *" | djvu, iw44→djvu | viewer 0 | yes |
| 10 | "DXF" | "Drawing Interchange Format *" | dxf | viewer 0 | yes |
| 11 | "ECW" | "Enhanced Compressed Wavelet *" | ecw | viewer 0 | yes |
| 12 | "EMF" | "Enhanced Windows Metafile" | emf | viewer 0 | yes |
| 13 | "EPS/PS" | "PostScript Format *" | eps, ps→eps | viewer 0 | yes |
| 14 | "EXR" | "EXR Format *" | exr | viewer 0 | yes |
| 15 | "G3" | "G3 FAX Format *" | g3 | viewer 0 | yes |
| 16 | "GIF" | "Compuserve GIF" | gif | viewer 0 | yes |
| 17 | "HDP/JXR/WDP" | "JPEG-XR/HD-Photo Format *" | hdp, jxr→hdp, wdp→hdp | viewer 0 | yes |
| 18 | "HEIC" | "High Efficiency Image File Format *" | heic | viewer 0 | yes |
| 19 | "ICO" | "Windows Icon" | ico | self | yes |
| 20 | "IFF/LBM" | "Amiga Interchange File Format *" | iff, lbm→iff | viewer 0 | yes |
| 21 | "JLS" | "JPEG-LS Format *" | jls | viewer 0 | yes |
| 22 | "JP2/JPC/J2K" | "JPEG2000 Format *" | jp2, jpc→jp2, j2k→jp2 | viewer 0 | yes |
| 23 | "JPG/JPEG/JFIF/JPE" | "JPEG Format" | jpg, jpeg→jpg, jfif→jpg, jpe→jpg | viewer 0 | yes |
| 24 | "JPM" | "JPM Format *" | jpm | viewer 0 | yes |
| 25 | "JXL" | "JPEG XL Format *" | jxl | viewer 0 | yes |
| 26 | "MNG/JNG" | "Multiple Network Graphics *" | mng, jng | viewer 0 | yes |
| 27 | "PBM" | "Portable Bitmap" | pbm | viewer 0 | yes |
| 28 | "PCD" | "Kodak Photo CD" | pcd | viewer 0 | yes |
| 29 | "PCX" | "Zsoft Paintbrush" | pcx | viewer 0 | yes |
| 30 | "PGM" | "Portable Greymap" | pgm | viewer 0 | yes |
| 31 | "PNG" | "Portable Network Graphics" | png | viewer 0 | yes |
| 32 | "PPM" | "Portable Pixelmap" | ppm | viewer 0 | yes |
| 33 | "PSD" | "Adobe Photoshop Image" | psd | viewer 0 | yes |
| 34 | "PSP" | "Paint Shop Pro Image *" | psp | viewer 0 | yes |
| 35 | "QOI" | "Quite OK Image *" | qoi | viewer 0 | yes |
| 36 | "RAS/SUN" | "Sun Raster Format *" | ras, sun→ras | viewer 0 | yes |
| 37 | "RAW" | "RAW Image Data *" | raw | viewer 0 | yes |
| 38 | "RLE" | "Utah RLE Format *" | rle | viewer 0 | yes |
| 39 | "SFF" | "Structured Fax Format *" | sff | viewer 0 | yes |
| 40 | "SGI/RGB" | "Silicon Graphics Image *" | sgi, rgb→sgi | viewer 0 | yes |
| 41 | "SID" | "LizardTech MrSID Format *" | sid | viewer 0 | yes |
| 42 | "TGA" | "Truevision Targa" | tga | viewer 0 | yes |
| 43 | "TIF/TIFF" | "Tagged Image File Format" | tif, tiff→tif | viewer 0 | yes |
| 44 | "WBMP" | "WAP Bitmap *" | wbmp | viewer 0 | yes |
| 45 | "WEBP" | "Weppy Format *" | webp | viewer 0 | yes |
| 46 | "WMF" | "Windows Metafile" | wmf | viewer 0 | yes |
| 47 | "XBM" | "X-Bitmap *" | xbm | viewer 0 | yes |
| 48 | "XPM" | "X-Pixmap *" | xpm | viewer 0 | yes |
| 49 | "SWF/FLV" | "Macromedia Flash Format *" | swf, flv | viewer 0 | no |
| 50 | "TTF" | "True Type Font Format *" | ttf | viewer 0 | no |
| 51 | "ASF" | "Advanced Systems Format *" | asf | viewer 9 | no |
| 52 | "AVI" | "Video for Windows *" | avi | viewer 9 | no |
| 53 | "MPG/MPE/MPEG" | "MPEG Movie *" | mpg, mpe, mpeg→mpg | viewer 9 | no |
| 54 | "MOV" | "Apple QuickTime Movie *" | mov | viewer 9 | no |
| 55 | "WMV" | "Windows Media Video File *" | wmv | viewer 9 | no |
| 56 | "AIF" | "Audio Interchange Format *" | aif | viewer 8 | no |
| 57 | "MID/RMI" | "MIDI Sound Format *" | mid, rmi | viewer 8 | no |
| 58 | "MP3" | "MPEG Audio Format *" | mp3 | viewer 8 | no |
| 59 | "OGG" | "Ogg Vorbis Audio Format *" | ogg | viewer 8 | no |
| 60 | "AU/SND" | "SUN Audio Format *" | au, snd→au | viewer 8 | no |
| 61 | "WAV" | "Windows Audio Format *" | wav | viewer 8 | no |
| 62 | "WMA" | "Windows Media Audio File *" | wma | viewer 8 | no |
'''

VIEWER = 'p_lumb64.exe'
VERB = 'Durchsuchen mit &Pellumbra'
UNINSTALL = r'SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pellumbra64'
APPX = ['AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg', 'AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt',
        'AppX43hnxtbyyps62jhe9sqpdzxn1790zetc', 'AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h',
        'AppX6eg8h5sxqq90pv53845wmnbewywdqq5h']


def parse_rows():
    rows = []
    for line in FILE_TYPE_ROWS.strip().splitlines():
        cells = [c.strip() for c in line.strip().strip('|').split('|')]
        index, group, desc, regs, icon, images = cells
        pairs = []
        for reg in regs.split(','):
            reg = reg.strip()
            ext, sfx = reg.split('→') if '→' in reg else (reg, reg)
            pairs.append((ext, sfx))
        rows.append({'index': int(index), 'pairs': pairs, 'icon': icon,
                     'images': images == 'yes'})
    return rows


class Tree:
    """A registry root: keys and their values, as the dump shows them."""

    def __init__(self):
        self.keys = {''}
        self.values = {}

    def key(self, path):
        parts = path.split('\\')
        for i in range(1, len(parts) + 1):
            self.keys.add('\\'.join(parts[:i]))

    def sz(self, path, name, text):
        self.key(path)
        size = (len(text.encode('utf-16-le')) // 2 + 1) * 2
        self.values[(path, name)] = 'REG_SZ(%d) %s' % (size, text)

    def dword(self, path, name, value):
        self.key(path)
        self.values[(path, name)] = 'REG_DWORD %d' % value

    def lines(self):
        out = ['[%s]' % k for k in self.keys]
        out += ['[%s] %s = %s' % (k, n, v) for (k, n), v in self.values.items()]
        return sorted(out, key=lambda s: s.encode('utf-8'))


def registration(folder, flags, any_association, thumbs, os_class, registered_apps):
    """The registry after one registration into empty roots.

    registered_apps: the "RegisteredApplications" key exists beforehand with
    one foreign value (it is opened, never created)."""
    hklm, hkcu, hkcr = Tree(), Tree(), Tree()
    folder = folder.strip(' ')
    if not folder.endswith('\\'):
        folder += '\\'
    viewer = folder + VIEWER
    open_command = '"%s" "%%1"' % viewer
    if registered_apps:
        hklm.sz(r'SOFTWARE\RegisteredApplications', 'Other', 'x')

    if thumbs:
        for target in ('Directory', 'Drive'):
            key = 'SOFTWARE\\Classes\\%s\\shell\\%s' % (target, VERB)
            hklm.sz(key, '@', VERB)
            hklm.sz(key + r'\command', '@', open_command + ' /thumbs')
    hklm.sz(r'SOFTWARE\Classes\Pellumbra', '@', 'Pellumbra')
    hklm.sz(r'SOFTWARE\Classes\Pellumbra\shell\open\command', '@', open_command)
    hkcr.sz(r'Applications\p_lumb64.exe\shell\open\command', '@', open_command)
    hkcr.sz(r'Applications\p_lumb64.exe', 'FriendlyAppName', 'Pellumbra 64-bit')
    hklm.sz(UNINSTALL, '@', '')
    hklm.sz(UNINSTALL, 'DisplayName', 'Pellumbra 4.66 (64-bit)')
    hklm.sz(UNINSTALL, 'UninstallString', '"%spl_uninstall.exe"' % folder)
    hklm.sz(UNINSTALL, 'Publisher', 'Marrowick')
    hklm.sz(UNINSTALL, 'InstallLocation', folder)
    hklm.sz(UNINSTALL, 'DisplayVersion', '4.66')
    hklm.sz(UNINSTALL, 'DisplayIcon', viewer + ',0')
    hklm.dword(UNINSTALL, 'VersionMajor', 4)
    hklm.dword(UNINSTALL, 'VersionMinor', 66)
    hklm.dword(UNINSTALL, 'EstimatedSize', 8192)
    hklm.key(r'SOFTWARE\Pellumbra')
    hklm.sz(r'SOFTWARE\Pellumbra\shell\open\command', '@', '"%s"' % viewer)
    hklm.sz(r'SOFTWARE\Pellumbra\Capabilities', 'ApplicationDescription',
            'Picture viewer, editor and converter - one of the most popular viewers worldwide')
    hklm.key(r'SOFTWARE\Pellumbra\Capabilities\FileAssociations')
    if registered_apps:
        hklm.sz(r'SOFTWARE\RegisteredApplications', 'Pellumbra', r'SOFTWARE\Pellumbra\Capabilities')

    icons = {'self': '%1', 'viewer 0': viewer + ',0', 'viewer 9': viewer + ',9',
             'viewer 8': viewer + ',8'}
    for row in parse_rows():
        selected = flags[row['index']]
        for ext, sfx in row['pairs']:
            progid = 'Pellumbra.' + sfx
            if selected or ext.upper() in ('JPG', 'PNG', 'TIF'):
                hklm.sz('SOFTWARE\\Classes\\.' + ext, '@', progid)
            hklm.sz('SOFTWARE\\Classes\\' + progid, '@', 'Pellumbra %s File' % sfx.upper())
            hklm.sz('SOFTWARE\\Classes\\%s\\shell\\open\\command' % progid, '@', open_command)
            hklm.sz('SOFTWARE\\Classes\\%s\\DefaultIcon' % progid, '@', icons[row['icon']])
            hklm.sz(r'SOFTWARE\Pellumbra\Capabilities\FileAssociations', '.' + ext, progid)
            if selected:
                hkcu.sz('Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s'
                        '\\UserChoice' % ext, 'Progid', progid)
    if any_association and os_class == 10:
        for app in APPX:
            hkcu.sz('Software\\Classes\\' + app, 'NoOpenWith', '')
    return hklm, hkcu, hkcr


def write(name, trees):
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        for title, tree in zip(('HKLM', 'HKCU', 'HKCR'), trees):
            f.write('# %s\n' % title)
            for line in tree.lines():
                f.write(line + '\n')


def main():
    rows = parse_rows()
    assert len(rows) == 63 and [r['index'] for r in rows] == list(range(63))
    extensions = [e for r in rows for e, _ in r['pairs']]
    assert len(extensions) == 87 and len(set(extensions)) == 87
    assert len({s for r in rows for _, s in r['pairs']}) == 69

    nothing = [0] * 64
    images = [1 if i <= 48 else 0 for i in range(64)]
    everything = [1] * 64
    write('registration_nothing.txt',
          registration('  C:\\Programme\\Pellumbra ', nothing, 0, False, 7, False))
    write('registration_images.txt',
          registration('C:\\Program Files\\Pellumbra\\', images, 1, True, 7, True))
    write('registration_everything.txt',
          registration('C:\\Programme\\Bildbetrachter Ü\\Pellumbra', everything, 1, True, 10, True))


if __name__ == '__main__':
    main()
