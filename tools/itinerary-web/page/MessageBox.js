// What the operator is told, in a modal box with one "确定", one message after another, as the
// window's message boxes do.

const ProgramTitle = '行程单打印软件';

export class MessageBox {
    constructor() {
        this.dialog = document.getElementById('messageDialog');
        this.title = document.getElementById('messageTitle');
        this.text = document.getElementById('messageText');
        this.ok = this.dialog.querySelector('[data-action="message-ok"]');
        this.queue = Promise.resolve();
        this.ok.addEventListener('click', () => this.dialog.close());
    }

    // Resolves once the operator has closed this message (and every one before it).
    show(text, title = '') {
        this.queue = this.queue.then(() => new Promise((resolve) => {
            this.title.textContent = title || ProgramTitle;
            this.text.textContent = text;
            this.dialog.addEventListener('close', () => resolve(), {once: true});
            this.dialog.showModal();
            this.ok.focus();
        }));
        return this.queue;
    }

    // The messages of a step of the service, as [title, text] pairs.
    async showAll(messages) {
        for (const [title, text] of Array.isArray(messages) ? messages : [])
            await this.show(text, title);
    }
}
