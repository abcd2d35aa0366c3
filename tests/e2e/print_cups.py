#!/usr/bin/python3
"""Ctrl+P and Return in the print dialog print the board on the default printer: a private CUPS scheduler
with a cups-pdf queue turns the job into a PDF page that shows the drawing. A queue removed while the dialog
is open is reported; a scheduler that stops answering delays the dialog by seconds, not minutes."""
import glob, os, pwd, re, signal, subprocess
from harness import Skip, check, run

PPD = '/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd'
def start_cups(s):
    """A private scheduler (own configuration, spool and socket) with cups-pdf as its default."""
    if os.getuid() != 0 or not os.path.exists(PPD):
        raise Skip('needs CUPS and cups-pdf (scripts/install-deps.sh test), and root: cups-pdf writes only so')
    os.makedirs(cups := f'{s.dir}/cups')
    open(f'{cups}/cupsd.conf', 'w').write(f'Listen {cups}/cups.sock\nBrowsing No\nDefaultAuthType None\n')
    folders = [f'{key} {cups}' for key in ('ServerRoot', 'RequestRoot', 'CacheDir', 'StateDir')]
    open(f'{cups}/cups-files.conf', 'w').write('\n'.join(['SystemGroup root', *folders, *(
        f'{log} stderr' for log in ('ErrorLog', 'AccessLog', 'PageLog')), '']))
    # cups-pdf names a PDF after its job's number, in a folder all schedulers share: number from our pid
    open(f'{cups}/job.cache', 'w').write(f'NextJobId {os.getpid()}\n')
    cupsd = s.launch(['/usr/sbin/cupsd', '-f', '-c', f'{cups}/cupsd.conf', '-s', f'{cups}/cups-files.conf'], s.daemons)
    os.environ['CUPS_SERVER'] = s.env['CUPS_SERVER'] = f'{cups}/cups.sock'
    s.env['PRINTER'] = 'PDF'  # the programs' default printer
    s.poll('cupsd taking the cups-pdf queue "PDF"', lambda: not subprocess.run(
        ['lpadmin', '-p', 'PDF', '-E', '-v', 'cups-pdf:/', '-P', PPD], capture_output=True).returncode, watch=cupsd)
    return cupsd


def page_cells(pdf, k=4):
    """The top-left ink in 96 dpi pixels and the inked cells (i, j) counted from it, rasterised at k pixels a cell
    (the image may lie a fraction of a pixel off the grid); a cell whose centre is not inked is partly inked."""
    raster = subprocess.check_output(['pdftoppm', '-r', str(96 * k), '-gray', '-singlefile', pdf])
    width, height = map(int, raster.split(b'\n')[1].split())
    pixels = raster[-width * height:]
    dark = [(i % width, i // width) for i, v in enumerate(pixels) if v < 128]
    check(dark, f'the printed page {pdf} is blank')
    left, top = min(x for x, _ in dark), min(y for _, y in dark)
    cells = {((x - left) // k, (y - top) // k) for x, y in dark}
    inked = {(i, j) for i, j in cells if pixels[(top + j * k + k // 2) * width + left + i * k + k // 2] < 128}
    return left // k, top // k, cells | {(cell, 'partly inked') for cell in cells - inked}


def print_cups(s):
    cupsd = start_cups(s)
    out = f'{pwd.getpwuid(os.getuid()).pw_dir}/PDF'  # cups-pdf's folder for the printing user
    s.env['TMPDIR'] = f'{s.dir}/missing'  # printing needs no temporary file
    main = s.window(program := s.start(), name='Nimbolt Sketch')
    s.keys('Right', 'Right', 'Right', 'Down', 'Down', 'Left', to=main)  # a hook from (291, 242)
    drawing = {(292, 242), (293, 242), (294, 242), (294, 243), (294, 244), (293, 244)}
    s.expect_board(main, drawing)
    s.keys('ctrl+p')
    dialog = s.window(program, name='Print')
    s.keys('Return', to=dialog)
    s.gone(dialog)
    # our scheduler's first job has our pid as its number; the PDF appears before Ghostscript is done
    pdf = s.poll(f'PDF of job {os.getpid()} in {out}, the queue empty', lambda: not subprocess.run(['lpstat', '-o'],
                 capture_output=True).stdout and glob.glob(f'{out}/*-job_{os.getpid()}.pdf'), timeout=60)[0]
    os.rename(pdf, f'{s.dir}/printed.pdf')  # out of the shared folder, kept with a failure
    pages = subprocess.run(['pdfinfo', f'{s.dir}/printed.pdf'], capture_output=True, text=True).stdout
    check(re.search(r'^Pages: +1$', pages, re.M), f'the printed PDF is not one page: {pages}')
    left, top, cells = page_cells(f'{s.dir}/printed.pdf')
    want = {(c - 292, r - 242) for c, r in drawing}  # counted from the top-left ink, cell (292, 242)
    check(cells == want, f'the page shows other cells: missing {want - cells}, extra {cells - want}')
    corner = left - 291, top - 241  # where board pixel (0, 0) lies on the page
    check(0 <= min(corner) and max(corner) <= 96, f'the board lies at {corner} px, over an inch into the page')
    s.expect_board(main, drawing)  # the program runs on, its board as it was

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
