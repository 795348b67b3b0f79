// Everything that goes to the printer or makes a picture of the receipt: "打印", "全部打印…",
// "打印预览", "另存为PDF" and the calibration page. A receipt spends the counter's check code
// and leaves a journal row on the service; the browser then prints it from its print view at
// the counter's offsets.

import {CheckCode, trimBlanks} from './changeRule.js';
import {counterRequest} from './CounterDesk.js';
import {PrintView, offsetTwips, receiptCanvas} from './PrintView.js';

const BadPosition = '打印位置不正确';

export class Printing {
    constructor(desk, form) {
        this.desk = desk;
        this.api = desk.api;
        this.messages = desk.messages;
        this.paper = form.paper;
        this.view = new PrintView(document.getElementById('printView'), form.paper);
        this.running = false;
        this.cancelRequested = false;
        this.progress = new ProgressBox(() => (this.cancelRequested = true));
        this.preview = new PreviewBox(form.paper);
        this.copyBox = document.getElementById('copyDialog');
        this.copyBox.querySelector('[data-action="copy-cancel"]')
            .addEventListener('click', () => this.copyBox.close());
        this.copyBox.querySelector('[data-action="copy-save"]').addEventListener('click', () => {
            this.copyBox.close();
            this.saveCopy(this.copyBox.querySelector('[name="copyAll"]').checked);
        });
    }

    setRunning(running) {
        this.running = running;
        this.desk.view.setPrintEnabled(!running);
        for (const b of document.querySelectorAll('[data-action="print-all"], [data-action="calibration"]'))
            b.disabled = running;
    }

    counterOrTell() {
        if (this.desk.counter)
            return true;
        this.messages.show('请先选择柜台');
        return false;
    }

    // "打印": one receipt of the sheet as it stands.
    print() {
        if (this.running || !this.counterOrTell())
            return;
        this.setRunning(true);
        this.desk.step(async () => {
            try {
                await this.desk.saveCheckCode();
                await this.printPictures([await this.spendReceipt()]);
            } finally {
                this.setRunning(false);
            }
        });
    }

    // "全部打印…": a receipt per passenger-list entry, first to last, each as "打印" makes it;
    // the sheet steps as "下一位" does and ends on the last entry. "取消" stops after the
    // receipt in progress; a failure stops the run and names the passenger. The receipts made
    // go to the printer as one document, those of a run that stopped too.
    printAll() {
        if (this.running || !this.counterOrTell())
            return;
        this.setRunning(true);
        this.cancelRequested = false;
        const sheet = this.desk.sheet;
        const count = sheet.entryCount();
        this.progress.open('全部打印', count);
        this.desk.step(async () => {
            const receipts = [];
            let name = '';
            let told = '';
            try {
                await this.desk.saveCheckCode();
                while (count > 1 && sheet.current > 0)
                    await this.desk.stepPassengerNow('previous');
                for (let number = 1; number <= count; ++number) {
                    if (number > 1)
                        await this.desk.stepPassengerNow('next');
                    name = trimBlanks(sheet.fields[0]);
                    this.progress.show(`正在打印 ${number}/${count}：${name}`, receipts.length);
                    receipts.push(await this.spendReceipt());
                    this.progress.show(`正在打印 ${number}/${count}：${name}`, receipts.length);
                    if (this.cancelRequested && receipts.length < count) {
                        told = `全部打印已取消：已打印 ${receipts.length}/${count} 张。`;
                        break;
                    }
                }
            } catch (error) {
                const number = receipts.length + 1;
                const who = name ? `${name}（第${number}位）` : `第${number}位旅客`;
                told = `${error.message}\n${who}的行程单未打印；已打印 ${receipts.length}/${count} 张。`;
            }
            try {
                this.progress.close();
                await this.printPictures(receipts);
            } finally {
                this.setRunning(false);
            }
            if (told)
                await this.messages.show(told);
        });
    }

    // One receipt: the service spends the check code and records the print; the answer is the
    // picture of the sheet with that code, for the browser to print (none when the counter
    // prints on the service's own printer). The picture and the counter's values (its
    // offsets place the picture) are asked for beside the print, with the code the counter is
    // expected to spend; the picture again should another session at the counter have spent
    // that code first.
    async spendReceipt() {
        const counter = this.desk.counter;
        if (offsetTwips(counter.left) === null || offsetTwips(counter.top) === null)
            throw new Error(BadPosition);
        const sent = this.desk.sheet.toRequest();
        const expected = counter.checkCode;
        const early = counter.queue ? null : this.picture(sent, expected);
        const counterNow = counterRequest(this.api, counter.name);
        for (const request of [early, counterNow])
            request?.catch(() => {}); // read below, or not needed when the print fails
        const answer = await this.api.postForBlob('/api/print', {counter: counter.name, sheet: sent});
        if (answer.json) {
            this.advance(answer.json.nextCheckCode);
            this.desk.setStatus(`已在打印机 ${answer.json.printer || ''} 打印：验证码 ${answer.json.checkCode}`);
            return {code: answer.json.checkCode, picture: null};
        }
        const code = answer.headers.get('X-Check-Code') || sent.fields[CheckCode];
        this.advance(answer.headers.get('X-Next-Check-Code'));
        try {
            const [picture, now] = await Promise.all(
                [code === expected && early ? early : this.picture(sent, code), counterNow]);
            this.desk.takeCounter({...now, checkCode: this.desk.counter.checkCode});
            return {code, picture};
        } catch (error) {
            throw new Error(`验证码 ${code} 已记入打印记录，但打印内容没有取到：${error.message}` +
                            '\n请在打印记录中载入此行重新打印。');
        }
    }

    // The receipt picture of `sheet` with check code `code`.
    async picture(sheet, code) {
        const fields = sheet.fields.slice();
        fields[CheckCode] = code;
        return (await this.api.postForBlob('/api/preview', {sheet: {...sheet, fields}})).blob;
    }

    // The browser prints the pictures, a page each, at the counter's offsets.
    async printPictures(receipts) {
        const pictures = receipts.filter((r) => r.picture).map((r) => r.picture);
        if (pictures.length === 0)
            return;
        const counter = this.desk.counter;
        const codes = receipts.map((r) => r.code).join('、');
        try {
            await this.view.show(pictures, offsetTwips(counter.left), offsetTwips(counter.top));
        } catch {
            throw new Error(`验证码 ${codes} 已记入打印记录，但打印内容无法显示；请在打印记录中载入重新打印。`);
        }
        window.print();
        this.desk.setStatus(`已送打印：验证码 ${codes}`);
    }

    advance(nextCode) {
        if (!nextCode)
            return;
        this.desk.counter.checkCode = nextCode;
        this.desk.showCheckCode();
    }

    // "打印预览": the picture of the sheet as it stands over the form's outline, moved by the
    // offsets; nothing printed, nothing spent.
    showPreview() {
        this.desk.step(async () => {
            const counter = this.desk.counter;
            const [leftText, topText] = this.desk.view.offsetInputs.map((i) => i.value);
            const left = offsetTwips(counter ? counter.left : leftText);
            const top = offsetTwips(counter ? counter.top : topText);
            if (left === null || top === null)
                return this.messages.show(BadPosition);
            const picture = await this.api.postForBlob('/api/preview', {sheet: this.desk.sheet.toRequest()});
            await this.preview.open(picture.blob, left, top);
        });
    }

    // "另存为PDF": the marked copy, every passenger when asked; nothing spent.
    askCopy() {
        if (this.desk.sheet.entryCount() < 2)
            return this.saveCopy(false);
        this.copyBox.querySelector('[name="copyAll"]').checked = false;
        this.copyBox.showModal();
    }

    saveCopy(all) {
        this.desk.step(async () => {
            const sheet = this.desk.sheet;
            const answer = await this.api.postForBlob('/api/copy', {sheet: sheet.toRequest(), all});
            const fallback = `${trimBlanks(sheet.fields[3]) || '行程单'}-${trimBlanks(sheet.fields[0]) || '副本'}.pdf`;
            download(answer.blob, attachmentName(answer.headers) || fallback);
        });
    }

    // The calibration page at the counter's offsets, opened in a tab of its own for the
    // browser's PDF viewer to print (actual size).
    printCalibration() {
        if (!this.counterOrTell())
            return;
        const tab = window.open('', '_blank');
        this.desk.step(async () => {
            try {
                const answer = await this.api.postForBlob('/api/calibration', {counter: this.desk.counter.name});
                const address = URL.createObjectURL(answer.blob);
                if (tab)
                    tab.location.href = address;
                else
                    download(answer.blob, '校准页.pdf');
                setTimeout(() => URL.revokeObjectURL(address), 60000);
            } catch (error) {
                tab?.close();
                throw error;
            }
        });
    }
}

function attachmentName(headers) {
    const disposition = headers.get('Content-Disposition') || '';
    const encoded = /filename\*=UTF-8''([^;]+)/i.exec(disposition);
    if (encoded) {
        try {
            return decodeURIComponent(encoded[1]);
        } catch {
            // fall back to the plain name
        }
    }
    const plain = /filename="?([^";]+)"?/i.exec(disposition);
    return plain ? plain[1] : '';
}

function download(blob, name) {
    const address = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = address;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(address), 60000);
}

// The progress of "全部打印…" with its "取消".
class ProgressBox {
    constructor(cancel) {
        this.dialog = document.getElementById('progressDialog');
        this.caption = document.getElementById('progressCaption');
        this.text = document.getElementById('progressText');
        this.bar = document.getElementById('progressBar');
        this.cancelButton = this.dialog.querySelector('[data-action="cancel"]');
        const stop = () => {
            cancel();
            this.cancelButton.disabled = true;
            this.text.textContent += '（正在取消…）';
        };
        this.cancelButton.addEventListener('click', stop);
        this.dialog.addEventListener('cancel', (e) => {
            e.preventDefault();
            stop();
        });
    }

    open(caption, count) {
        this.caption.textContent = caption;
        this.text.textContent = '';
        this.bar.max = count;
        this.bar.value = 0;
        this.cancelButton.disabled = false;
        this.dialog.showModal();
    }

    show(text, done) {
        this.text.textContent = text;
        this.bar.value = done;
    }

    close() {
        this.dialog.close();
    }
}

// The preview: the picture on a page the size of the form with its outline, at the offsets.
class PreviewBox {
    constructor(paper) {
        this.paper = paper;
        this.dialog = document.getElementById('previewDialog');
        this.formBox = document.getElementById('previewForm');
        this.scroller = document.getElementById('previewScroller');
        this.zoom = document.getElementById('previewZoom');
        this.zoom.addEventListener('change', () => this.draw());
        this.dialog.querySelector('[data-action="preview-close"]')
            .addEventListener('click', () => this.dialog.close());
    }

    async open(picture, left, top) {
        this.bitmap = await createImageBitmap(picture);
        this.left = left;
        this.top = top;
        this.dialog.showModal();
        this.draw();
    }

    draw() {
        const paperTwips = {width: (this.paper.widthMm * 1440) / 25.4, height: (this.paper.heightMm * 1440) / 25.4};
        const fit = Math.min((this.scroller.clientWidth - 24) / paperTwips.width,
                             (window.innerHeight - 200) / paperTwips.height);
        const perTwip = this.zoom.value === 'fit' ? fit : (Number(this.zoom.value) * 96) / 1440;
        this.formBox.style.width = `${paperTwips.width * perTwip}px`;
        this.formBox.style.height = `${paperTwips.height * perTwip}px`;
        this.formBox.replaceChildren(receiptCanvas(this.bitmap, this.left, this.top, perTwip));
        document.getElementById('previewNote').textContent = '按打印位置移动；不打印，不占用验证码';
    }
}
