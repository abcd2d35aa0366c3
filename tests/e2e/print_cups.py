#!/usr/bin/python3
"""Ctrl+P and Return in the print dialog print the board on the default printer: a private CUPS
scheduler with a cups-pdf queue turns the job into a PDF page that shows the drawing, a dot a board
pixel at 96 dpi. A queue removed while the dialog is open is reported; a scheduler that stops
answering delays the dialog by seconds, not minutes."""
import glob, os, pwd, re, signal, subprocess
from harness import Skip, check, run

PPD = '/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd'


def start_cups(s):  # a private scheduler (own configuration, spool, socket), cups-pdf its default
    if os.getuid() != 0 or not os.path.exists(PPD):
        raise Skip('needs root (cups-pdf writes only so), CUPS and cups-pdf (install-deps.sh test)')
    os.makedirs(cups := f'{s.dir}/cups')
    conf = f'Listen {cups}/cups.sock\nBrowsing No\nDefaultAuthType None\n'
    open(f'{cups}/cupsd.conf', 'w').write(conf)
    folders = [f'{key} {cups}' for key in ('ServerRoot', 'RequestRoot', 'CacheDir', 'StateDir')]
    logs = [f'{log} stderr' for log in ('ErrorLog', 'AccessLog', 'PageLog')]
    open(f'{cups}/cups-files.conf', 'w').write('\n'.join(['SystemGroup root', *folders, *logs, '']))
    # cups-pdf names a PDF after its job's number, in a folder all schedulers share: ours is our pid
    open(f'{cups}/job.cache', 'w').write(f'NextJobId {os.getpid()}\n')
    cmd = ['/usr/sbin/cupsd', '-f', '-c', f'{cups}/cupsd.conf', '-s', f'{cups}/cups-files.conf']
    cupsd = s.launch(cmd, s.daemons)
    os.environ['CUPS_SERVER'] = s.env['CUPS_SERVER'] = f'{cups}/cups.sock'
    s.env['PRINTER'] = 'PDF'  # the programs' default printer
    add = ['lpadmin', '-p', 'PDF', '-E', '-v', 'cups-pdf:/', '-P', PPD]
    s.poll('the queue "PDF"', lambda: not subprocess.run(add, capture_output=True).returncode,
           watch=cupsd)
    return cupsd


def page_dots(pdf):  # the inked pixels of its one page at 96 dpi, as Ghostscript renders it
    raster = subprocess.check_output(['gs', '-q', '-sDEVICE=pgmraw', '-r96', '-o', '-', pdf])
    width, height = map(int, re.search(rb'\n(\d+) (\d+)\n', raster).groups())
    check(len(raster) < 2 * width * height, 'the printed PDF is more than one page')
    pixels = raster[-width * height:]
    return {(i % width, i // width) for i, v in enumerate(pixels) if v < 128}


def print_cups(s):
    cupsd = start_cups(s)
    out = f'{pwd.getpwuid(os.getuid()).pw_dir}/PDF'  # cups-pdf's folder for the printing user
    s.env['TMPDIR'] = f'{s.dir}/missing'  # printing needs no temporary file
    main = s.window(program := s.start(), name='Nimbolt Sketch')
    s.keys('Right', 'Right', 'Right', 'Down', 'Down', 'Left', to=main)  # a hook from (291, 242)
    drawing = {(292, 242), (293, 242), (294, 242), (294, 243), (294, 244), (293, 244)}
    s.expect_board(main, drawing)
    s.keys('ctrl+p')
    s.keys('Return', to=(dialog := s.window(program, name='Print')))
    s.gone(dialog)
    # our scheduler's first job has our pid as its number; the PDF appears before Ghostscript ends
    job = f'{out}/*-job_{os.getpid()}.pdf'
    queued = lambda: subprocess.run(['lpstat', '-o'], capture_output=True).stdout
    done = lambda: not queued() and glob.glob(job)
    os.rename(s.poll(f'{job}, the queue empty', done, timeout=60)[0], pdf := f'{s.dir}/printed.pdf')
    dots = page_dots(pdf)
    left, top = min(x for x, _ in dots), min(y for _, y in dots)  # cell (292, 242)
    want = {(left + c - 292, top + r - 242) for c, r in drawing}
    check(dots == want, f'the page shows other dots: lacks {want - dots}, adds {dots - want}')
    check(max(left - 291, top - 241) <= 96, 'the board lies over an inch into the page')

    s.keys('ctrl+p', to=main)
    dialog = s.window(program, name='Print')
    subprocess.run(['lpadmin', '-x', 'PDF'], check=True)
    s.keys('Return', to=dialog)
    s.message(program, 'Could not print the sketch to PDF: The printer or class does not exist.')
    s.keys('Return', to=s.window(program, name='Nimbolt Sketch', other_than=main))

    cupsd.send_signal(signal.SIGSTOP)  # connections are taken, never answered
    s.keys('ctrl+p', to=main)
    dialog = s.window(program, name='Print')  # Qt's own wait would outlast the window's 20 s
    s.keys('Escape', to=dialog)
    cupsd.send_signal(signal.SIGCONT)
    s.keys('Down', to=main)
    s.expect_board(main, drawing | {(293, 245)})


run(print_cups)
