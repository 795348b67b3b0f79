// What the browser prints: pages the size of the form, no margins, each with the receipt
// picture at the counter's offsets, as the service's PDF and the window's printer place it.
// On screen the view is hidden; in print only the view shows (see counter.css).

// The printed receipt is 11640 x 5970 twips, and an offset of one millimetre moves it 56.7
// twips, as the window's print job counts them.
export const ReceiptTwips = {width: 11640, height: 5970};
const TwipsPerMm = 56.7;
const TwipsLimit = 32767;

// The number syntax of the offsets: blanks around, an optional sign, digits with an optional
// point, an optional exponent.
const GeneralNumber = /^ *[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)? *$/;

export function parseGeneralNumber(text) {
    return GeneralNumber.test(text) ? Number(text) : null;
}

// An offset in twips, or null when the print could not use it (empty, not a number, beyond
// the printer's range).
export function offsetTwips(text) {
    const mm = parseGeneralNumber(String(text ?? ''));
    if (mm === null)
        return null;
    const twips = roundHalfEven(mm * TwipsPerMm);
    return Number.isFinite(twips) && Math.abs(twips) <= TwipsLimit ? twips : null;
}

// To the nearest whole twip, halves to even, as the print job rounds.
function roundHalfEven(x) {
    const floor = Math.floor(x);
    const rest = x - floor;
    if (rest !== 0.5)
        return rest < 0.5 ? floor : floor + 1;
    return floor % 2 === 0 ? floor : floor + 1;
}

// One millimetre further, from 0 when the offset is one the print cannot use.
export function nudged(text, change) {
    const value = offsetTwips(text) === null ? 0 : parseGeneralNumber(text);
    return String(Number((value + change).toPrecision(15)));
}

export class PrintView {
    constructor(element, paper) {
        this.element = element;
        this.paper = paper;
        const own = [...document.styleSheets].find((s) => s.href && s.href.endsWith('counter.css'));
        // The page's own size: a stylesheet rule, since the page allows no inline style.
        own?.insertRule(`@page { size: ${paper.widthMm}mm ${paper.heightMm}mm; margin: 0; }`,
                        own.cssRules.length);
    }

    // Puts one page per picture (PNG blobs) into the view, at the offsets in twips.
    async show(pictures, leftTwips, topTwips) {
        const bitmaps = await Promise.all(pictures.map((p) => createImageBitmap(p)));
        const pages = bitmaps.map((bitmap) => {
            const page = document.createElement('div');
            page.className = 'print-page';
            page.style.width = `${this.paper.widthMm}mm`;
            page.style.height = `${this.paper.heightMm}mm`;
            page.append(receiptCanvas(bitmap, leftTwips, topTwips, 'in'));
            return page;
        });
        this.element.replaceChildren(...pages);
    }

    clear() {
        this.element.replaceChildren();
    }
}

// The receipt picture in a canvas at its printed size; `unit` 'in' for print, or a number of
// CSS pixels per twip for the screen.
export function receiptCanvas(bitmap, leftTwips, topTwips, unit) {
    const canvas = document.createElement('canvas');
    canvas.className = 'receipt-picture';
    if (unit === 'in') {
        // For the printer: every pixel of the picture.
        canvas.width = bitmap.width;
        canvas.height = bitmap.height;
        canvas.getContext('2d').drawImage(bitmap, 0, 0);
    } else {
        // On the screen: drawn at the size shown, smoothly, so that small text stays legible.
        const scale = unit * (window.devicePixelRatio || 1);
        canvas.width = Math.max(1, Math.round(ReceiptTwips.width * scale));
        canvas.height = Math.max(1, Math.round(ReceiptTwips.height * scale));
        const context = canvas.getContext('2d');
        context.imageSmoothingQuality = 'high';
        context.drawImage(bitmap, 0, 0, canvas.width, canvas.height);
    }
    const length = (twips) => (unit === 'in' ? `${twips / 1440}in` : `${twips * unit}px`);
    canvas.style.left = length(leftTwips);
    canvas.style.top = length(topTwips);
    canvas.style.width = length(ReceiptTwips.width);
    canvas.style.height = length(ReceiptTwips.height);
    return canvas;
}
