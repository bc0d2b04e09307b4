object frmExampleBase: TfrmExampleBase
  Left = 0
  Top = 0
  Width = 420
  Height = 300
  BorderIcons = [biSystemMenu]
  Caption = #31034#20363
  Font.Charset = GB2312_CHARSET
  Font.Height = -13
  Font.Name = #23435#20307
  KeyPreview = True
  Position = poScreenCenter
  OnCreate = FormCreate
  OnKeyPress = FormKeyPress
  object pnlButtons: TPanel
    Align = alBottom
    Height = 40
    BevelOuter = bvNone
    object btnOk: TButton
      Left = 240
      Top = 8
      Caption = '确定'
      TabOrder = 0
      OnClick = btnOkClick
    end
    object btnCancel: TButton
      Left = 320
      Top = 8
      Caption = '取消'
      Cancel = True
      ModalResult = 2
      TabOrder = 1
    end
  end
  object pgMain: TPageControl
    Align = alClient
    ActivePage = tsGeneral
    object tsGeneral: TTabSheet
      Caption = '基本'
    end
  end
end
