"""data/LICENSES/ (every licence text of the sources) and data/CREDITS.txt (every source and version)."""
import os
import shutil

import common

SRC = os.path.join(common.TOOL, 'sources')

LICENCES = {
    'fluent-emoji-flat.MIT.txt': os.path.join(SRC, 'licences', 'fluent-emoji.MIT'),
    'fluid-soundfont-gm.copyright.txt': os.path.join(SRC, 'licences', 'fluid-soundfont-gm.copyright'),
    'tuxpaint-stamps.copyright.txt': os.path.join(SRC, 'tuxpaint', 'copyright'),
    'GPL-2.txt': os.path.join(SRC, 'tuxpaint', 'GPL-2'),
}

CREDITS = """Credits for the game's media (data/)

Everything under data/ that is listed in tools/gen_data/MANIFEST.md was made by
the project's own generator (tools/gen_data/make) from the sources below.

Pictures
  Icons: Fluent Emoji Flat, (c) Microsoft Corporation, MIT licence
    (LICENSES/fluent-emoji-flat.MIT.txt), through the npm package
    @iconify-json/fluent-emoji-flat 1.2.6. Used for the kind icons, coins,
    foods, medicine, butterflies, message-box icons, medals, awards, cursor
    and button pictures and some particle textures; recoloured and resized.
  Creatures, scenery, backgrounds, interface skins and buttons, shadows,
    water, clouds and the other particle textures: drawn by the generator
    (tools/gen_data/lib), with fixed seeds.

Sounds
  Animal calls and birds: Tux Paint stamps (Debian package
    tuxpaint-stamps-default 2022.06.04-1), (c) 2002-2022 Bill Kendrick and
    contributors, GPL-2 or later (LICENSES/tuxpaint-stamps.copyright.txt,
    LICENSES/GPL-2.txt): lion, tiger, zebra, hippopotamus, pig, bull,
    bison, lark, blackbird, cuckoo and grasshopper, cut, pitched and mixed
    into the animal sounds and the ambient loops.
  Sound effects: synthesised by the generator with SoX and numpy.
  Music and jingles: composed by the generator (seeded MIDI written with
    mido) and rendered with FluidSynth and the FluidR3 General MIDI sound font
    (Debian package fluid-soundfont-gm 3.1-5.3), (c) 2000-2002, 2008 Frank
    Wen, MIT licence (LICENSES/fluid-soundfont-gm.copyright.txt).

Fonts
  The bitmap fonts in Localization/English/Fonts/ are rendered by the project's
  own generator (tools/fontgen/make_fonts, FreeType 2.12.1) from:
  arial14, title_s: Liberation Sans Regular and Bold (Debian
    package fonts-liberation2 2.1.5-1), (c) 2010 Google Corporation, (c) 2012
    Red Hat, Inc., SIL Open Font License 1.1
    (LICENSES/fonts-liberation2.copyright.txt).
  hud18: Liberation Sans Narrow Regular (Debian package fonts-liberation
    1:1.07.4-11), (c) 2007 Red Hat, Inc., GPL-2 with font exception
    (LICENSES/fonts-liberation.copyright.txt, LICENSES/GPL-2.txt).
  mistral24: Z003 Medium Italic (Debian package fonts-urw-base35 20200910-7),
    (c) 2013-2015 (URW)++ Design & Development, AGPL-3 with font exception
    (LICENSES/fonts-urw-base35.copyright.txt).

Tools (Debian 12): librsvg2-bin 2.54.7, sox 14.4.2, fluidsynth 2.3.1,
vorbis-tools 1.4.2, python3-pil 9.4.0, python3-numpy 1.24.2, python3-mido 1.2.10.
"""


def main():
    for name, src in LICENCES.items():
        shutil.copyfile(src, common.out_path('LICENSES', name))
    common.write_text(common.out_path('CREDITS.txt'), CREDITS)


if __name__ == '__main__':
    main()
