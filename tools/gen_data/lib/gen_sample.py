"""A small run of the generator from committed inputs only (no network, no sound tools): one creature
animation in two directions, a shadow, scenery, icons from the sample SVGs, interface pieces and particle
textures.  tools/gen_data/make --sample runs it twice and compares the bytes."""
import os

import numpy as np

import common
import delivery_map
import gen_objects
import gen_particles
import gen_shadows
import gen_ui
import icons
from creatures import Quadruped, walk_pose
from render3d import DIRECTIONS, render, yaw
from species import KINDS


def main():
    q = Quadruped(KINDS['zebra'])
    for dname in ('right', 'down_right'):
        angle = dict(DIRECTIONS)[dname]
        frames = [render([p.transformed(yaw(angle), np.zeros(3)) for p in q.build(walk_pose(t / 4))], 120, 128, 1.0,
                         (60, 99)) for t in range(4)]
        common.write_anim('Animals/zebra/animations', f'adult_walk_{dname}', 'walk', frames, 16, True)
    common.save_png(common.out_path('Sprites/Shadows/shadow_zebra.png'), gen_shadows.shadow(32, 72))
    common.save_png(common.out_path('Sprites/Objects/acacia_01.png'),
                    gen_objects.render_obj(gen_objects.acacia(3), 176, 150, 138))
    coin = icons.icon('coin', 40)
    common.save_png(common.out_path('GUI/coin_3.png'), common.make_sheet(gen_objects.spin_frames(coin, 8), 8))
    common.save_png(common.out_path('Foods/grass_1_stay.png'),
                    common.make_sheet([gen_objects.pile(['herb'], k, 34, 7) for k in range(1, 6)], 5))
    common.save_png(common.out_path('GUI/msg_warning.png'), icons.icon('warning', 56))
    common.save_png(common.out_path('GUI/medal_gold.png'), icons.icon('1st-place-medal', 60))
    common.save_png(common.out_path('Sprites/butterfly01.png'), icons.icon('butterfly', 28))
    common.save_png(common.out_path('Animals/zebra/icon.png'), icons.icon('zebra', 32))
    common.save_png(common.out_path('GUI/skin_window.png'), gen_ui.skin((250, 238, 206, 255), (178, 118, 66, 255),
                                                                        (232, 212, 166, 255)))
    common.save_png(common.out_path('GUI/delivery_map.png'), delivery_map.picture())
    common.save_png(common.out_path('GUI/btn_medium.png'),
                    gen_ui.vstates(lambda c, st: gen_ui.pill(c, 160, 48, st), 160, 48))
    for name in ('spark', 'ring', 'star', 'smoke'):
        common.save_png(common.out_path('Particles', name + '.png'), gen_particles.TEXTURES[name]())
    # The list of written files is not part of the sample's output.
    log = os.path.join(common.out_root(), common.WRITTEN_LOG)
    if os.path.exists(log):
        os.remove(log)


if __name__ == '__main__':
    main()
