"""The help screen's price tags: in the hand-written GUI/help.agui, the Text of HelpGrassPrice and HelpMeatPrice is
the Cost of the first grass and meat kinds of the hand-written Foods/foods.ini, in the game's money format ("%d"
and the English money sign). Only those two values are rewritten; run this step after a change of the prices."""
import os
import re
import sys

import common

# Tag widget -> food type (0 grass, 1 meat); the tags show the first level of each.
TAGS = (('HelpGrassPrice', 0), ('HelpMeatPrice', 1))


def first_costs(path):
    """{food type: Cost} of the sections with Level 1, read as the game reads the keys (integers)."""
    costs, section = {}, None
    with open(path, encoding='utf-8') as f:
        for raw in f:
            line = raw.strip()
            if line.startswith('['):
                section = {}
            elif section is not None and '=' in line and not line.startswith(';'):
                key, value = (part.strip() for part in line.split('=', 1))
                section[key] = value
                if {'Type', 'Level', 'Cost'} <= section.keys() and int(section['Level']) == 1:
                    costs.setdefault(int(section['Type']), int(section['Cost']))
    return costs


def money_sign(path):
    with open(path, encoding='utf-8') as f:
        for line in f:
            m = re.match(r'\s*money_sign\s*=\s*"(.*)"\s*$', line)
            if m:
                return m.group(1)
    return ''


def set_text(lines, widget, text):
    """Sets (or adds) the Text line of the block of `widget`; False when the layout has no such block."""
    head = next((i for i, line in enumerate(lines) if re.match(rf'\s*\w+\s+{widget}\b', line)), None)
    if head is None or head + 1 >= len(lines) or lines[head + 1].strip() != '{':
        return False
    end = next(i for i in range(head + 2, len(lines)) if lines[i].strip() == '}')
    indent = re.match(r'\s*', lines[head]).group(0) + '    '
    for i in range(head + 2, end):
        if re.match(r'\s*Text\s', lines[i]):
            lines[i] = f'{indent}Text {text}'
            return True
    lines.insert(end, f'{indent}Text {text}')
    return True


def main():
    root = common.out_root()
    layout = os.path.join(root, 'GUI', 'help.agui')
    costs = first_costs(os.path.join(root, 'Foods', 'foods.ini'))
    sign = money_sign(os.path.join(root, 'Localization', 'English', 'Main.txt'))
    with open(layout, encoding='utf-8') as f:
        lines = f.read().split('\n')
    for widget, food_type in TAGS:
        if food_type not in costs:
            print(f'gen_help: Foods/foods.ini has no Level 1 kind of Type {food_type}', file=sys.stderr)
        elif not set_text(lines, widget, f'{costs[food_type]}{sign}'):
            print(f'gen_help: GUI/help.agui has no block {widget}', file=sys.stderr)
    with open(layout, 'w', encoding='utf-8', newline='') as f:
        f.write('\n'.join(lines))


if __name__ == '__main__':
    main()
