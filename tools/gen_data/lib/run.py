"""Entry of the generator's steps (called by tools/gen_data/make)."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import common  # noqa: E402

INDEX = os.path.join(common.TOOL, 'files.txt')


def clean():
    """Removes the files the previous full run made (listed in files.txt); other files in data/ stay."""
    root = common.out_root()
    log = os.path.join(root, common.WRITTEN_LOG)
    if os.path.exists(log):
        os.remove(log)
    if not os.path.exists(INDEX):
        return
    with open(INDEX, encoding='utf-8') as f:
        for line in f:
            path = os.path.join(root, line.strip())
            if line.strip() and os.path.isfile(path):
                os.remove(path)


def index():
    """Lists every file this run wrote (files.txt), so that the next full run can remove stale ones."""
    root = common.out_root()
    log = os.path.join(root, common.WRITTEN_LOG)
    owned = set()
    if os.path.exists(log):
        with open(log, encoding='utf-8') as f:
            owned = {line.strip() for line in f if line.strip()}
        os.remove(log)
    if os.environ.get('GEN_DATA_PARTIAL') == '1' and os.path.exists(INDEX):
        with open(INDEX, encoding='utf-8') as f:
            owned |= {line.strip() for line in f if line.strip()}
    with open(INDEX, 'w', encoding='utf-8', newline='\n') as f:
        for rel in sorted(owned):
            f.write(rel + '\n')


def main(step):
    if step == 'clean':
        clean()
    elif step == 'index':
        index()
    elif step == 'check':
        import check_audio
        sys.exit(check_audio.main())
    elif step == 'check_anims':
        import check_anims
        sys.exit(check_anims.main())
    else:
        mod = __import__('gen_' + step)
        mod.main()


if __name__ == '__main__':
    main(sys.argv[1])
