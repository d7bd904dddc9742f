"""The lists that name the pictures: GUI/gui.list (images looked up by name) and Sprites/common.ini (the
sprite registry's description of every named sprite made by the other steps)."""
import os

import common

# Assign of each top folder of data/.
ASSIGNS = {'Sprites': 'sprites', 'GUI': 'gui', 'Foods': 'foods', 'Bonuses': 'bonuses', 'Park': 'park',
           'Particles': 'particles', 'Animals': 'animals', 'Poachers': 'poachers', 'Awards': 'awards',
           'Mini-games': 'mini-games', 'Levels': 'levels'}

# GUI pictures that are loaded by their path or by a list of their own, not through gui.list.
NOT_IN_GUI_LIST = {'cursors.png', 'progress.png', 'progress_back.png', 'menu_rock.png', 'menu_clouds01.png',
                   'menu_clouds02.png'}


def assigned(rel):
    top, rest = rel.split('/', 1)
    return f'{ASSIGNS[top]}:{rest}'


def main():
    root = common.out_root()
    gui = os.path.join(root, 'GUI')
    names = sorted(n for n in os.listdir(gui) if n.endswith('.png') and n not in NOT_IN_GUI_LIST
                   and not n.startswith('pedia_back'))
    common.write_text(common.out_path('GUI/gui.list'), ''.join(f'{n} 4444 8888\n' for n in names))

    reg = common.load_registry()
    out = []
    for name in sorted(reg):
        rel, hf, vf, total, ft = reg[name]
        out.append(f'[{name}]\nImage={assigned(rel)}\nName={name}\nHFrames={hf}\nVFrames={vf}\nTotalFrames={total}\n'
                   f'FrameTime={ft:g}\n')
    common.write_text(common.out_path('Sprites/common.ini'), '\n'.join(out))


if __name__ == '__main__':
    main()
