// Modal HTML dialogs the core's commands wait for, with the desktop's buttons, defaults and ESC
// answers: No on "Reset data"'s question, as Enter must not wipe every scratch.

// As MsgButtons and MsgAnswer of the core.
export const Buttons = { Ok: 0, YesNo: 1, YesNoCancel: 2 };
export const Answer = { Ok: 0, Yes: 1, No: 2, Cancel: 3 };

const kAppTitle = 'KEL Soft';
const kBoxes = [
  { buttons: [['OK', Answer.Ok]], byDefault: Answer.Ok, onEscape: Answer.Ok, icon: 'info' },
  { buttons: [['Yes', Answer.Yes], ['No', Answer.No]], byDefault: Answer.Yes, onEscape: Answer.No, icon: 'question' },
  {
    buttons: [['Yes', Answer.Yes], ['No', Answer.No], ['Cancel', Answer.Cancel]],
    byDefault: Answer.No,
    onEscape: Answer.Cancel,
    icon: 'question',
  },
];

const $ = (id) => document.getElementById(id);

export function msgBox(prompt, title, buttons) {
  const box = kBoxes[buttons] ?? kBoxes[0];
  const dialog = $('MsgBox');
  $('MsgBox_Title').textContent = title || kAppTitle;
  $('MsgBox_Text').textContent = prompt;
  dialog.querySelector('.icon').className = `icon ${box.icon}`;
  const row = dialog.querySelector('.buttons');
  row.replaceChildren();
  return new Promise((resolve) => {
    const answer = (a) => {
      dialog.oncancel = null;
      dialog.close();
      resolve(a);
    };
    for (const [caption, a] of box.buttons) {
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = caption;
      b.id = `MsgBox_${caption}`;
      b.onclick = () => answer(a);
      row.append(b);
    }
    dialog.oncancel = (event) => {
      event.preventDefault();
      answer(box.onEscape);
    };
    dialog.showModal();
    row.children[box.buttons.findIndex(([, a]) => a === box.byDefault)].focus();
  });
}

// Resolves to the text typed, or null when the box was cancelled.
export function inputBox(prompt, title, text) {
  const dialog = $('InputBox');
  const input = $('InputBox_Text');
  $('InputBox_Title').textContent = title || kAppTitle;
  $('InputBox_Prompt').textContent = prompt;
  input.value = text;
  return new Promise((resolve) => {
    const answer = (typed) => {
      dialog.oncancel = dialog.onsubmit = $('InputBox_Cancel').onclick = null;
      dialog.close();
      resolve(typed);
    };
    dialog.onsubmit = (event) => {
      event.preventDefault();
      answer(input.value);
    };
    $('InputBox_Cancel').onclick = () => answer(null);
    dialog.oncancel = (event) => {
      event.preventDefault();
      answer(null);
    };
    dialog.showModal();
    input.focus();
    input.select();
  });
}
